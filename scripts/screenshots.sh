#!/usr/bin/env bash
# The README's pictures of the icon picker: English and French, at a scale
# factor of 1 and 2, each on an X server of its own (xvfb-run) with the
# matching dots per inch, in a throw-away home. The library listed is Wine's
# shell32.dll (184 icons, most of them with images up to 256 x 256).
#   scripts/screenshots.sh [BUILD_DIR]   (default build/default)
# Writes docs/picker-<en|fr>-<1|2>x.png; docs/picker.png is the English one
# at scale 1.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--inside" ]; then
  # One shot, run under xvfb-run: plumage on a folder, the screen taken once
  # the picker is drawn, cut to the picker's window.
  shift
  build=$1 folder=$2 out=$3
  "$build/src/plumage" "$folder" &
  pid=$!
  id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name '^Plumage - ' 2>/dev/null | head -1) && [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "the picker did not appear" >&2; kill "$pid"; exit 1; }
  sleep 1.5
  eval "$(xdotool getwindowgeometry --shell "$id")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  exit 0
fi

build=$(realpath "${1:-build/default}")
library=/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll
[ -f "$library" ] || { echo "no $library: install wine32 (scripts/install-deps.sh)" >&2; exit 1; }
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || { echo "no $tool: run scripts/install-deps.sh" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime"
export PLUMAGE_HOME="$work/program" PLUMAGE_CONFIG="$work/plumage-config"
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$PLUMAGE_CONFIG"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
mkdir -p "$work/Games"
"$build/src/plumagectl" install >/dev/null
"$build/src/plumagectl" settings --default-library "$library" --linux-icons off >/dev/null

for language in en fr; do
  "$build/src/plumagectl" settings --language "$language" >/dev/null
  for scale in 1 2; do
    out="docs/picker-$language-${scale}x.png"
    QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 $((1024 * scale))x$((768 * scale))x24 -dpi $((96 * scale))" \
      "$0" --inside "$build" "$work/Games" "$PWD/$out"
    echo "$out"
  done
done
cp docs/picker-en-1x.png docs/picker.png
