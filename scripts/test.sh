#!/usr/bin/env bash
# Builds and runs the whole test suite.
#   scripts/test.sh             normal build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/;
#                               any report (a leak included) fails the test that made it
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

cmake_args=()
if [ "${1:-}" = "--sanitize" ]; then
  KANVO_BUILD_DIR="${KANVO_ROOT}/build-asan"
  cmake_args+=(-DKANVO_SANITIZE=ON -DKANVO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  # Leaks inside system libraries (fontconfig's caches, Qt's plugin loader) are not ours.
  export LSAN_OPTIONS="suppressions=${KANVO_ROOT}/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

kanvo_install_packages
kanvo_build "${cmake_args[@]}"
export QT_QPA_PLATFORM=offscreen
cd "$KANVO_BUILD_DIR"
ctest --output-on-failure -j"$(nproc)"
