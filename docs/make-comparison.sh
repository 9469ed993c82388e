#!/usr/bin/env bash
# Remakes the README's comparison of reduction methods: one gallery photo charted with the
# default method ("高分辨彩色图") and with "精选绣线" at its default settings, same grid, colour
# blocks only. Run after building (scripts/test.sh or scripts/run.sh):
#   docs/make-comparison.sh [path/to/kanvo-cli]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cli="${1:-$root/build/tools/cli/kanvo-cli}"
picture="$root/assets/动物/小猫.jpg"
grid=(--whole --zoom 80 --mode blocks --title 小猫)

"$cli" chart "$picture" -o "$root/docs/chart-default.png" "${grid[@]}"
"$cli" chart "$picture" -o "$root/docs/chart-threads.png" "${grid[@]}" --method threads
echo "wrote docs/chart-default.png and docs/chart-threads.png"
