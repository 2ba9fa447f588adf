#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package in build/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

ensure_build_packages
ensure_packages dpkg-dev
CMAKE_BUILD_TYPE=Release configure_and_build
cd "$QUILLOMATIC_BUILD"
cpack -G DEB
