#!/bin/sh
# plumage as a user meets it: a real process on a real X server (Xvfb, on a
# display it chooses, abstract socket only, no lock file), clicked at with
# xdotool. An entry and OK write the folder's DESKTOP.INI; the refresh
# reminder then stays on screen until it is answered, and only then does
# the program end.   picker_x11_test.sh PLUMAGE PLUMAGECTL LIBRARY
# Exits 77 (skipped) where Xvfb or xdotool is missing.
set -u
plumage="$1" plumagectl="$2" library="$3"
command -v Xvfb >/dev/null && command -v xdotool >/dev/null ||
  { echo "Xvfb or xdotool is not installed (scripts/install-deps.sh installs them)"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/plumage-x11-test.XXXXXX") || exit 1
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  XDG_CACHE_HOME="$work/cache" XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/runtime" \
  PLUMAGE_HOME="$work/program" PLUMAGE_CONFIG="$work/plumage-config" QT_QPA_PLATFORM=xcb \
  QT_SCALE_FACTOR=1 QT_ACCESSIBILITY=0 DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" LC_ALL=C.UTF-8
# libxkbcommon-x11 hands strndup a buffer without a closing NUL, which
# AddressSanitizer's strict string checks take for an overflow in plumage.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" \
  "$XDG_RUNTIME_DIR" "$PLUMAGE_HOME/Icons" "$PLUMAGE_CONFIG" "$work/Music"
chmod 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -nolisten unix -nolock \
  3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
plumage_pid=
cleanup() {
  [ -n "$plumage_pid" ] && kill "$plumage_pid" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 200); do grep -q . "$work/display" 2>/dev/null && break; sleep 0.1; done
DISPLAY=":$(head -n 1 "$work/display")"
[ "$DISPLAY" != ":" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY
fail() { echo "FAILED: $1"; exit 1; }
shown() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
wait_shown() {
  for _ in $(seq 300); do w=$(shown "$1"); [ -n "$w" ] && { echo "$w"; return; }; sleep 0.1; done
}

"$plumagectl" install >/dev/null || fail "plumagectl install"
"$plumagectl" settings --default-library "$library" --reminder on --linux-icons off >/dev/null ||
  fail "plumagectl settings"
"$plumage" "$work/Music" &
plumage_pid=$!
picker=$(wait_shown '^Plumage - ')
[ -n "$picker" ] || fail "the picker did not appear"
# The list starts at (16, 72) on a 56-pixel grid: the first entry's picture
# is near (46, 94). OK is at (8, 368), 81 x 25.
xdotool mousemove --window "$picker" 46 94 click 1 && sleep 0.3 &&
  xdotool mousemove --window "$picker" 48 380 click 1 || fail "xdotool cannot click"
reminder=$(wait_shown '^Plumage$')
[ -n "$reminder" ] || fail "no reminder after OK"
[ -z "$(shown '^Plumage - ')" ] || fail "the picker stays under the reminder"
# Kept inside the folder, as it is by default on Linux.
expected=$(printf '[.ShellClassInfo]\r\nIconFile=FolderIcon.ico\r\nIconIndex=0\r\nIconResource=FolderIcon.ico,0\r')
[ "$(cat "$work/Music/DESKTOP.INI")" = "$expected" ] || fail "DESKTOP.INI: $(cat -A "$work/Music/DESKTOP.INI")"
[ -f "$work/Music/FolderIcon.ico" ] || fail "no FolderIcon.ico"
# Left alone, the box stays and the program waits for it.
sleep 2
kill -0 "$plumage_pid" 2>/dev/null || fail "the program ended under the reminder"
[ -n "$(shown '^Plumage$')" ] || fail "the reminder went away unanswered"
# Answered with Enter, it closes and the program ends, with status 0.
xdotool windowfocus "$reminder" && sleep 0.2 && xdotool key Return || fail "xdotool cannot type"
for _ in $(seq 200); do kill -0 "$plumage_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$plumage_pid" 2>/dev/null && fail "the program did not end"
wait "$plumage_pid"
status=$?
plumage_pid=
[ "$status" -eq 0 ] || fail "plumage exited with $status"
echo "the reminder stayed until answered, then plumage ended"
