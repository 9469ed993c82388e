#!/usr/bin/env bash
# Builds the program and starts it.
#   scripts/run.sh [ARGS]          the program's window
#   scripts/run.sh chart IN -o OUT a chart made without the window (kanvo-cli chart)
# Without a display (no $DISPLAY or $WAYLAND_DISPLAY) the start-up picture's chart is written to
# the current folder instead of opening the window.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
kanvo_install_packages
kanvo_build

cli="$KANVO_BUILD_DIR/tools/cli/kanvo-cli"
if [ "${1:-}" = "chart" ]; then
  exec "$cli" "$@"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out="$PWD/logo-chart.bmp"
  "$cli" chart "$KANVO_ROOT/assets/logo.dll" -o "$out"
  echo "No display: the start-up picture's chart was written to $out"
  exit 0
fi

exec "$KANVO_BUILD_DIR/src/app/kanvo" "$@"
