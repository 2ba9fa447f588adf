#!/usr/bin/env bash
# Installs what is missing, builds the engine's and the reader's fuzz targets
# with clang's libFuzzer and runs each for a bounded time over its kept corpus.
#   scripts/fuzz.sh [SECONDS]   (each target; default 120)
# New inputs that reach new code are added to tests/fuzz/corpus/ (the
# engine's) and tests/fuzz/reader-corpus/ (the reader's, which also starts
# from the engine's pages); a crash fails the run and leaves the input as
# crash-* in build-fuzz/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

seconds="${1:-120}"
ensure_packages cmake ninja-build clang libclang-rt-14-dev
build="$QUILLOMATIC_ROOT/build-fuzz"
CC=clang CXX=clang++ cmake -S "$QUILLOMATIC_ROOT" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLOMATIC_FUZZ=ON >/dev/null
cmake --build "$build" --target converter_fuzzer reader_fuzzer
mkdir -p "$QUILLOMATIC_ROOT/tests/fuzz/corpus" "$QUILLOMATIC_ROOT/tests/fuzz/reader-corpus"
cd "$build"
./bin/converter_fuzzer -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
    -max_len=65536 -print_final_stats=1 "$QUILLOMATIC_ROOT/tests/fuzz/corpus"
./bin/reader_fuzzer -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
    -max_len=65536 -print_final_stats=1 "$QUILLOMATIC_ROOT/tests/fuzz/reader-corpus" \
    "$QUILLOMATIC_ROOT/tests/fuzz/corpus"
