#!/bin/sh
# Reads an executable's manifest and version resource back with wrestool
# (icoutils), as a tool outside the build sees them:
#   check_resources.sh EXE VERSION [--installer]
# The manifest must ask for the common controls 6, per-monitor DPI awareness
# (v2) with the system-aware fallback, asInvoker, and name Windows 7 to 11;
# the version resource must carry VERSION in its numbers and its texts, and
# the file's own name. The installer's manifest is makensis's own: only its
# version is checked.
set -u
# The tools it starts get a home and XDG_* folders of their own, not the user's.
home=$(mktemp -d) || exit 1
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$home"
exe="$1" version="$2" installer="${3:-}"
name=$(basename "$exe")
failures=0
fail() { echo "$name: $1"; failures=$((failures + 1)); }

# Each line below must appear in the manifest, blanks squeezed.
flat=$(wrestool -x --raw --type=24 --name=1 "$exe" 2>/dev/null | tr -s ' \n' '  ')
[ -n "$installer" ] || for wanted in \
  'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
  'publicKeyToken="6595b64144ccf1df"' \
  'requestedExecutionLevel level="asInvoker"' \
  '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' \
  '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, System</dpiAwareness>' \
  'supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"' \
  'supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"' \
  'supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"' \
  'supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"'; do
  case "$flat" in *"$wanted"*) ;; *) fail "the manifest lacks: $wanted" ;; esac
done

# The texts of the version resource, one UTF-16 string a line: each key is
# followed by its value.
texts=$(wrestool -x --raw --type=16 --name=1 "$exe" 2>/dev/null | strings -el)
value_of() { printf '%s\n' "$texts" | sed -n "/^$1\$/{n;p;q}"; }
check() { [ "$(value_of "$1")" = "$2" ] || fail "$1 is '$(value_of "$1")', not $2"; }
check FileVersion "$version"
check ProductVersion "$version"
check ProductName Plumage
[ -n "$installer" ] || check OriginalFilename "$name"

# The fixed part: after its signature (BD 04 EF FE) and structure version
# (makensis writes 0, windres 1.0), the file version's high and low double
# words, little-endian.
IFS=. read -r major minor patch <<VERSION
$version
VERSION
le32() { printf '%02x %02x %02x %02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
fixed="$(le32 $(((major << 16) | minor))) $(le32 $((patch << 16)))"
bytes=$(wrestool -x --raw --type=16 --name=1 "$exe" | od -An -tx1 -v | tr -s ' \n' '  ')
case "$bytes" in *"bd 04 ef fe "????????????"$fixed"*) ;; *) fail "the fixed file version is not $version.0" ;; esac

[ "$failures" -eq 0 ] && echo "$name: manifest and version $version read back"
[ "$failures" -eq 0 ]
