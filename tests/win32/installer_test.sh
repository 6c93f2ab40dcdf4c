#!/bin/sh
# The installer under Wine, silent (/S), as a user and as an administrator:
#   installer_test.sh INSTALLER VERSION WINE WINESERVER
# Each install must put the verb key (written by plumagectl.exe install), the
# program, its uninstaller in Apps & features and the Start-menu entry where
# its scope says; each uninstall must take exactly those away, keep the
# icons a user made unless asked, and leave HKEY_CURRENT_USER and
# HKEY_LOCAL_MACHINE as `wine reg export` found them before the install.
# Runs in a Wine prefix, a home and XDG folders of its own, all temporary.
set -u
installer="$1" version="$2" wine="$3" wineserver="$4"

work=$(mktemp -d "${TMPDIR:-/tmp}/plumage-installer-test.XXXXXX") || exit 1
# No Mono or Gecko prompt, and no Linux menu entries for the shortcuts.
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
  XDG_CACHE_HOME="$work/home/.cache" XDG_STATE_HOME="$work/home/.local/state" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$WINEPREFIX" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" \
  "$XDG_RUNTIME_DIR"
cleanup() {
  "$wineserver" -k >/dev/null 2>&1
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAILED: $1"; failures=$((failures + 1)); }
# A Windows program run to its end, and every process it started (an NSIS
# uninstaller goes on in a copy of itself).
run() {
  "$wine" "$@" </dev/null >"$work/out.txt" 2>&1
  rc=$?
  "$wineserver" -w
  return $rc
}
query() { "$wine" reg query "$1" /ve </dev/null 2>/dev/null | tr -d '\r'; }
has_key() { "$wine" reg query "$1" </dev/null >/dev/null 2>&1; }
# Exported as Windows writes it (UTF-16), compared as text. Wine's display
# driver writes the display adapters' and monitors' device classes afresh at
# every start of the prefix (a time stamp among them): those two sections
# are Wine's, not the installer's, and are left out of the comparison.
export_registry() {
  for root in HKCU HKLM; do
    run reg export "$root" "$work/$1-$root.reg" /y || fail "reg export $root ($1)"
    iconv -f UTF-16LE -t UTF-8 "$work/$1-$root.reg" | tr -d '\r' | awk '
      /^\[/ { skip = index($0, "\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}") ||
                     index($0, "\\Control\\Class\\{4D36E96E-E325-11CE-BFC1-08002BE10318}") }
      !skip' >"$work/$1-$root.txt"
  done
}
same_registry() {
  for root in HKCU HKLM; do
    [ -s "$work/$1-$root.txt" ] || fail "$root after $1: nothing exported"
    if ! cmp -s "$work/before-$root.txt" "$work/$1-$root.txt"; then
      fail "$root after $1 differs from before the install:"
      diff "$work/before-$root.txt" "$work/$1-$root.txt" | head -40
    fi
  done
}

run wineboot -i || { echo "cannot make the Wine prefix"; exit 1; }
drive_c="$WINEPREFIX/drive_c"
user_dir=$(ls -d "$drive_c"/users/*/AppData 2>/dev/null | grep -v /Public/ | head -n 1)
[ -n "$user_dir" ] || { echo "no user profile in the prefix"; exit 1; }
export_registry before

# One scope's install: installed SCOPE ROOT OTHER-ROOT DIR LINK COMMAND-TAIL
installed() {
  for f in plumage.exe plumagectl.exe uninstall.exe; do
    [ -f "$4/$f" ] || fail "$1: $f is not in $4"
  done
  [ -d "$4/Icons" ] || fail "$1: no Icons folder"
  command=$(query "$2\\Software\\Classes\\Folder\\shell\\PlumIcon\\command")
  case "$command" in *"$6"*) ;; *) fail "$1: the verb's command is not the installed plumage.exe: $command" ;; esac
  has_key "$3\\Software\\Classes\\Folder\\shell\\PlumIcon" && fail "$1: a verb key in $3"
  uninstall=$("$wine" reg query "$2\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Plumage" \
    </dev/null 2>/dev/null | tr -d '\r')
  case "$uninstall" in *"DisplayVersion"*"$version"*) ;; *) fail "$1: no Apps & features entry: $uninstall" ;; esac
  [ -f "$5" ] || fail "$1: no Start-menu entry"
  # An icon the user made, for the uninstall to keep or take.
  printf 'made by the user' >"$4/Icons/Mine.ico"
}

# --- For this user: /CURRENTUSER (Wine runs every program as an administrator).
run "$installer" /S /CURRENTUSER || fail "the per-user install exited with $?"
dir="$user_dir/Local/Programs/Plumage"
link="$user_dir/Roaming/Microsoft/Windows/Start Menu/Programs/Plumage settings.lnk"
installed "per user" HKCU HKLM "$dir" "$link" '\Local\Programs\Plumage\plumage.exe" %1'
case "$uninstall" in *'uninstall.exe" /CURRENTUSER'*) ;; *) fail "per user: the uninstall forgets the scope" ;; esac
# A plain uninstall keeps the user's icon, and only that.
run "$dir/uninstall.exe" /S /CURRENTUSER || fail "the per-user uninstall exited with $?"
[ -e "$link" ] && fail "per user: the Start-menu entry stays"
[ -f "$dir/Icons/Mine.ico" ] || fail "per user: the user's icon went"
[ "$(ls -A "$dir")" = "Icons" ] || fail "per user: more than Icons is left: $(ls -A "$dir")"
rm -rf "$dir"
export_registry user
same_registry user

# --- For every user: elevated (Wine's user is an administrator), no switch.
run "$installer" /S || fail "the all-users install exited with $?"
dir="$drive_c/Program Files/Plumage"
link="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Plumage settings.lnk"
installed "all users" HKLM HKCU "$dir" "$link" '\Program Files\Plumage\plumage.exe" %1'
# Asked to, the uninstaller takes the user's icons too, and the folder.
run "$dir/uninstall.exe" /S /ALLUSERS /REMOVEICONS || fail "the all-users uninstall exited with $?"
[ -e "$dir" ] && fail "all users: the program folder stays: $(ls -A "$dir")"
[ -e "$link" ] && fail "all users: the Start-menu entry stays"
export_registry machine
same_registry machine

[ "$failures" -eq 0 ] && echo "installed and uninstalled for a user and for every user; the registry is as it was"
[ "$failures" -eq 0 ]
