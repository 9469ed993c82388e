#!/usr/bin/env bash
# Times the whole `kanvo-cli chart` process (picture file to saved chart, blocks and symbols, BMP
# out) on a 1-megapixel JPEG at 117 x 132, 230 x 250 and 320 x 320 stitches, and in the same run
# ImageMagick doing only the colour part of that job on the same picture (sample to the grid,
# ordered dither, remap to the 452 thread colours). Prints each median and the ratio, then the
# peak memory of a chart from a 20-megapixel JPEG.
#
#   tools/bench/pipeline.sh [RUNS]    (default 7; uses $KANVO_BUILD_DIR, default build/)
# Goals: 320 x 320 under 0.5 s; 230 x 250 no slower than ImageMagick (ratio <= 1.0); peak memory
# under 200 MB.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${KANVO_BUILD_DIR:-$root/build}"
runs="${1:-7}"
cli="$build/tools/cli/kanvo-cli"
bench="$build/tools/bench/bench_pipeline"
for f in "$cli" "$bench"; do
  [ -x "$f" ] || { echo "pipeline.sh: $f is not built (cmake --build $build)" >&2; exit 1; }
done
# The real ImageMagick binary, not a wrapper in front of it, so that its own time is measured.
magick=""
for c in magick convert-im6.q16 convert; do
  if command -v "$c" >/dev/null; then magick="$(command -v "$c")"; break; fi
done
[ -n "$magick" ] || { echo "pipeline.sh: ImageMagick is not installed" >&2; exit 1; }
timer=""
[ -x /usr/bin/time ] && timer=/usr/bin/time

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
picture="$work/photo-1mp.jpg"
big="$work/photo-20mp.jpg"
palette="$work/threads.ppm"
"$magick" "$root/assets/logo.dll" -resize '1225x817!' -quality 92 "$picture"
"$bench" --thread-palette "$palette"

# Wall seconds of one run of the command given.
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.4f\n", ns / 1e9 }'
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.4f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "kanvo-cli chart (whole process, blocks and symbols, BMP) against ImageMagick's colour reduction alone"
echo "picture: 1225 x 817 JPEG; median of $runs runs each, interleaved; ImageMagick: $magick"
printf '%-10s %18s %14s %8s\n' "stitches" "kanvo-cli chart" "ImageMagick" "ratio"
for size in 117x132 230x250 320x320; do
  w=${size%x*}
  h=${size#*x}
  chart_times=()
  magick_times=()
  for ((i = 0; i < runs; i++)); do
    chart_times+=("$(seconds "$cli" chart "$picture" -o "$work/chart.bmp" --width "$w" --height "$h" --mode both)")
    magick_times+=("$(seconds "$magick" "$picture" -sample "${w}x${h}!" -ordered-dither o8x8,6 -remap "$palette" "$work/magick.bmp")")
  done
  chart=$(printf '%s\n' "${chart_times[@]}" | median)
  im=$(printf '%s\n' "${magick_times[@]}" | median)
  ratio=$(awk -v a="$chart" -v b="$im" 'BEGIN { printf "%.2f", a / b }')
  printf '%-10s %16.3f s %12.3f s %8s\n' "$size" "$chart" "$im" "$ratio"
done

if [ -n "$timer" ]; then
  "$magick" "$root/assets/logo.dll" -resize '5477x3652!' -quality 92 "$big"
  kb=$("$timer" -f '%M' "$cli" chart "$big" -o "$work/big.bmp" --width 230 --height 250 --mode both 2>&1 >/dev/null | tail -1)
  echo "peak memory, chart of a 5477 x 3652 (20-megapixel) JPEG at 230 x 250: $((kb / 1024)) MB"
fi
