#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through ctest.
#   scripts/test.sh             the plain build, in build/
#   scripts/test.sh --sanitize  everything again with AddressSanitizer and
#                               UndefinedBehaviorSanitizer, in build-sanitize/
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

sanitize=0
case "${1:-}" in
    "") ;;
    --sanitize) sanitize=1 ;;
    *) echo "usage: scripts/test.sh [--sanitize]" >&2; exit 2 ;;
esac

ensure_build_packages
ensure_test_packages
if [ "$sanitize" -eq 1 ]; then
    QUILLOMATIC_BUILD="$QUILLOMATIC_ROOT/build-sanitize"
    configure_and_build -DQUILLOMATIC_SANITIZE=ON
    export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$QUILLOMATIC_ROOT/tests/sanitizers.supp:print_suppressions=0"
else
    configure_and_build -DQUILLOMATIC_SANITIZE=OFF
fi
cd "$QUILLOMATIC_BUILD"
ctest --output-on-failure --no-tests=error --parallel "$(nproc)"
