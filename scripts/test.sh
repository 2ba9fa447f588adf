#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through ctest, each
# build with its preset of CMakePresets.json.
#   scripts/test.sh                 the plain build, in build/
#   scripts/test.sh --sanitize      everything again with AddressSanitizer and
#                                   UndefinedBehaviorSanitizer, in build-sanitize/,
#                                   the tests run with the preset's sanitizer options
#   scripts/test.sh --ci [SECONDS]  what CI runs (.ci/run): the plain build with
#                                   every warning an error, the sanitized build,
#                                   then each fuzz target for SECONDS (default 120)
#                                   through scripts/fuzz.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

usage() {
    echo "usage: scripts/test.sh [--sanitize | --ci [SECONDS]]" >&2
    exit 2
}

mode=plain
fuzz_seconds=120
if [ $# -eq 1 ] && [ "$1" = --sanitize ]; then
    mode=sanitize
elif [ $# -ge 1 ] && [ $# -le 2 ] && [ "$1" = --ci ]; then
    mode=ci
    fuzz_seconds="${2:-120}"
    [[ "$fuzz_seconds" =~ ^[1-9][0-9]*$ ]] || usage
elif [ $# -ne 0 ]; then
    usage
fi

# Configures, builds and runs the tests with PRESET; extra arguments go to cmake.
build_and_test() {
    local preset="$1"
    shift
    cd "$QUILLOMATIC_ROOT"
    cmake --preset "$preset" "$@" >/dev/null
    cmake --build --preset "$preset" --parallel "$(nproc)"
    ctest --preset "$preset" --parallel "$(nproc)"
}

ensure_build_packages
ensure_test_packages
case "$mode" in
    plain) build_and_test default -DQUILLOMATIC_SANITIZE=OFF -DQUILLOMATIC_WERROR=OFF ;;
    sanitize) build_and_test sanitize ;;
    ci)
        build_and_test default -DQUILLOMATIC_SANITIZE=OFF -DQUILLOMATIC_WERROR=ON
        build_and_test sanitize
        "$QUILLOMATIC_ROOT/scripts/fuzz.sh" "$fuzz_seconds"
        ;;
esac
