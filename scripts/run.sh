#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
kanvo_install_packages
kanvo_build

if [ -x "$KANVO_BUILD_DIR/src/app/kanvo" ]; then
  exec "$KANVO_BUILD_DIR/src/app/kanvo" "$@"
fi

# Until the window exists: reduce the sample picture with the command-line tool.
out="$KANVO_ROOT/build/sample-216.bmp"
"$KANVO_BUILD_DIR/tools/cli/kanvo-cli" reduce --method 216 "$KANVO_ROOT/assets/sample.bmp" -o "$out"
echo "Reduced picture written to $out"
