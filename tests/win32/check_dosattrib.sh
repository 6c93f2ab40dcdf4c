#!/bin/sh
# Reads back from Linux what the Windows test wrote under Wine: each file of
# the manifest must carry Hidden and System in user.DOSATTRIB, as "0x" and
# hexadecimal, and Read-only as the absence of write permission: the forms
# the Linux build reads. (Wine stores no Archive bit: it reports every file
# as Archive.)
set -u
# The tools it starts get a home and XDG_* folders of their own, not the user's.
home=$(mktemp -d) || exit 1
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$home"
dir="$1"
[ -s "$dir/expected.txt" ] || { echo "no manifest in $dir"; exit 1; }
failures=0
while read -r name attributes; do
  path="$dir/$name"
  dos=$((attributes & 0x6))  # Hidden 2, System 4
  stored=$(getfattr --only-values -n user.DOSATTRIB "$path" 2>/dev/null || true)
  if [ "$dos" -eq 0 ]; then
    # Nothing stored, or a value without those bits.
    if [ -n "$stored" ] && [ $((stored & 0x6)) -ne 0 ]; then
      echo "$name: user.DOSATTRIB is $stored, expected neither Hidden nor System"
      failures=$((failures + 1))
    fi
  elif [ -z "$stored" ] || [ $((stored & 0x6)) -ne "$dos" ]; then
    echo "$name: user.DOSATTRIB is '${stored}', expected the bits $(printf '0x%x' "$dos")"
    failures=$((failures + 1))
  fi
  case "$stored" in ""|0x[0-9a-f]*) ;; *)
    echo "$name: user.DOSATTRIB '$stored' is not the text form"; failures=$((failures + 1)) ;;
  esac
  if [ ! -d "$path" ]; then
    perms=$(stat -c %a "$path")
    if [ $((attributes & 1)) -ne 0 ] && [ $((0$perms & 0222)) -ne 0 ]; then
      echo "$name: Read-only, yet mode $perms has write bits"; failures=$((failures + 1))
    fi
    if [ $((attributes & 1)) -eq 0 ] && [ $((0$perms & 0200)) -eq 0 ]; then
      echo "$name: not Read-only, yet mode $perms"; failures=$((failures + 1))
    fi
  fi
  echo "read $name: attributes $attributes, user.DOSATTRIB '${stored}', mode $(stat -c %a "$path")"
done < "$dir/expected.txt"
exit $failures
