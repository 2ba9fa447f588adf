#!/usr/bin/env bash
# Installs what is missing, builds the engine's fuzz target with clang's
# libFuzzer and runs it for a bounded time over the kept corpus.
#   scripts/fuzz.sh [SECONDS]   (default 120)
# New inputs that reach new code are added to tests/fuzz/corpus/; a crash
# fails the run and leaves the input as crash-* in build-fuzz/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

seconds="${1:-120}"
ensure_packages cmake ninja-build clang libclang-rt-14-dev
build="$QUILLOMATIC_ROOT/build-fuzz"
CC=clang CXX=clang++ cmake -S "$QUILLOMATIC_ROOT" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLOMATIC_FUZZ=ON >/dev/null
cmake --build "$build" --target converter_fuzzer
mkdir -p "$QUILLOMATIC_ROOT/tests/fuzz/corpus"
cd "$build"
./bin/converter_fuzzer -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
    -max_len=65536 -print_final_stats=1 "$QUILLOMATIC_ROOT/tests/fuzz/corpus"
