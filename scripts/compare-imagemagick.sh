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

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
PLUMAGE_BENCH_PHOTO="$work/photo.bmp" "$build/bench/bench_image_engine" --benchmark_filter=NONE >/dev/null

best() {  # best() label command... : prints the least elapsed and user seconds
  local label=$1 e u be=999999 bu=999999
  shift
  for _ in $(seq "$runs"); do
    read -r e u < <({ /usr/bin/time -f "%e %U" "$@" >/dev/null 2>/dev/null; } 2>&1 | tail -1)
    be=$(echo "$e $be" | awk '{print ($1 < $2) ? $1 : $2}')
    bu=$(echo "$u $bu" | awk '{print ($1 < $2) ? $1 : $2}')
  done
  echo "$label $be $bu"
}

read -r _ im_e im_u < <(best im "$im" "$work/photo.bmp" -colors 236 +dither "BMP3:$work/im.bmp")
read -r _ pl_e pl_u < <(best pl "$build/src/plumagectl" image save "$work/photo.bmp" "$work/pl.bmp" --depth 8 --method 2)
echo "ImageMagick (convert -colors 236 +dither BMP3:): ${im_e} s elapsed, ${im_u} s user"
echo "plumagectl image save --depth 8 --method 2:     ${pl_e} s elapsed, ${pl_u} s user"
awk -v a="$im_e" -v b="$pl_e" -v c="$im_u" -v d="$pl_u" \
  'BEGIN { printf "plumagectl is %.1f times as fast (elapsed), %.1f times (user time)\n", a / b, c / d }'
ls -l "$work/im.bmp" "$work/pl.bmp" | awk '{print $5, $9}'
