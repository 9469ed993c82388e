#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for SECONDS (default 60),
# one after the other, starting from the committed seed corpora. The growing corpora and any
# crash inputs stay in build-fuzz/run-<target>/; a crash makes the script fail. The per-input
# time limit (KANVO_FUZZ_TIMEOUT, 25 s) allows for instrumented decoding of big RLE pictures.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     targets: bmp_reader palette_file oxs_reader picture_decoder
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(bmp_reader palette_file oxs_reader picture_decoder)

KANVO_BUILD_DIR="${KANVO_ROOT}/build-fuzz"
kanvo_install_packages
CC=clang CXX=clang++ cmake -S "$KANVO_ROOT" -B "$KANVO_BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKANVO_BUILD_FUZZERS=ON -DKANVO_BUILD_APP=OFF -DKANVO_BUILD_TESTS=OFF -DKANVO_BUILD_BENCH=OFF >/dev/null
cmake --build "$KANVO_BUILD_DIR" -j"$(nproc)" --target "${targets[@]/%/_fuzzer}"

declare -A seeds=(
  [bmp_reader]="$KANVO_ROOT/tools/fuzz/corpus"
  [palette_file]="$KANVO_ROOT/tools/fuzz/corpus_palette"
  [oxs_reader]="$KANVO_ROOT/tools/fuzz/corpus_oxs"
  [picture_decoder]="$KANVO_ROOT/tools/fuzz/corpus_picture"
)
export QT_QPA_PLATFORM=offscreen
status=0
for target in "${targets[@]}"; do
  run="$KANVO_BUILD_DIR/run-$target"
  mkdir -p "$run/corpus" "$run/crashes"
  cp -n "${seeds[$target]}"/* "$run/corpus/"
  echo "== $target for ${seconds}s" >&2
  if ! "$KANVO_BUILD_DIR/tools/fuzz/${target}_fuzzer" -max_total_time="$seconds" -rss_limit_mb=1024 \
      -timeout="${KANVO_FUZZ_TIMEOUT:-25}" -print_final_stats=1 -artifact_prefix="$run/crashes/" "$run/corpus" 2>"$run/log.txt"; then
    echo "$target found a fault; input in $run/crashes/, log in $run/log.txt" >&2
    status=1
  fi
  grep -E "DONE|^stat::" "$run/log.txt" >&2 || tail -n 20 "$run/log.txt" >&2
done
exit $status
