#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through ctest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

ensure_build_packages
ensure_test_packages
configure_and_build
cd "$QUILLOMATIC_BUILD"
ctest --output-on-failure --no-tests=error --parallel "$(nproc)"
