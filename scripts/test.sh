#!/usr/bin/env bash
# Builds and runs the whole test suite.
#   scripts/test.sh             normal build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

cmake_args=()
if [ "${1:-}" = "--sanitize" ]; then
  KANVO_BUILD_DIR="${KANVO_ROOT}/build-asan"
  cmake_args+=(-DKANVO_SANITIZE=ON -DKANVO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

kanvo_install_packages
kanvo_build "${cmake_args[@]}"
export QT_QPA_PLATFORM=offscreen
cd "$KANVO_BUILD_DIR"
ctest --output-on-failure -j"$(nproc)"
