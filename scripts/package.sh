#!/usr/bin/env bash
# Installs what is missing, builds a release in build-release/ (leaving build/
# as scripts/test.sh keeps it), makes the Debian package there and checks it
# with lintian.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

ensure_build_packages
ensure_packages "${DEB_PACKAGES[@]}"
QUILLOMATIC_BUILD="$QUILLOMATIC_ROOT/build-release"
CMAKE_BUILD_TYPE=Release configure_and_build -DQUILLOMATIC_TESTS=OFF
cd "$QUILLOMATIC_BUILD"
rm -f quillomatic_*.deb
cpack -G DEB
packages=(quillomatic_*.deb)
lintian --fail-on error,warning "${packages[0]}"
echo "The package: $QUILLOMATIC_BUILD/${packages[0]}"
