#!/usr/bin/env bash
# Times plumagectl's automatic 8-bit save (octree palette of 236 colours, no
# diffusion) against ImageMagick's 236-colour reduction without dithering, on
# the same photograph-like 4096 x 4096 picture, best of $RUNS runs each.
#   scripts/compare-imagemagick.sh [build-dir]     (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${RUNS:-3}
# /usr/local/bin/convert may be a stand-in; Debian's ImageMagick 6 proper:
im=${IMAGEMAGICK:-/usr/bin/convert-im6.q16}
"$im" -version | head -1
echo "load average: $(cut -d" " -f1-3 /proc/loadavg) on $(nproc) processors"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
PLUMAGE_BENCH_PHOTO="$work/photo.bmp" "$build/bench/bench_image_engine" --benchmark_list_tests=true >/dev/null

# best LABEL COMMAND...: the least elapsed and user seconds over $runs runs.
best() {
  local label=$1 be="" bu="" e u s
  shift
  for _ in $(seq "$runs"); do
    /usr/bin/time -o "$work/time" -f "%e %U %S" "$@" >/dev/null 2>&1
    read -r e u s <"$work/time"
    u=$(awk -v a="$u" -v b="$s" 'BEGIN { print a + b }')
    if [ -z "$be" ] || awk -v a="$e" -v b="$be" 'BEGIN { exit !(a < b) }'; then be=$e; fi
    if [ -z "$bu" ] || awk -v a="$u" -v b="$bu" 'BEGIN { exit !(a < b) }'; then bu=$u; fi
  done
  echo "$label $be $bu" >"$work/$label"
}

best im "$im" "$work/photo.bmp" -colors 236 +dither "BMP3:$work/im.bmp"
best pl "$build/src/plumagectl" image save "$work/photo.bmp" "$work/pl.bmp" --depth 8 --method 2
read -r _ im_e im_u <"$work/im"
read -r _ pl_e pl_u <"$work/pl"
echo "ImageMagick (convert -colors 236 +dither BMP3:): ${im_e} s elapsed, ${im_u} s of processor time"
echo "plumagectl image save --depth 8 --method 2:     ${pl_e} s elapsed, ${pl_u} s of processor time"
awk -v a="$im_e" -v b="$pl_e" -v c="$im_u" -v d="$pl_u" \
  'BEGIN { printf "plumagectl is %.1f times as fast (elapsed), %.1f times (processor time)\n", a / b, c / d }'
"${im%convert-im6.q16}identify-im6.q16" "$work/im.bmp" "$work/pl.bmp" 2>/dev/null || true
