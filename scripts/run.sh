#!/usr/bin/env bash
# Installs what is missing, builds and starts Quillomatic.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

ensure_build_packages
configure_and_build
exec "$QUILLOMATIC_BUILD/bin/quillomatic-convert" --to php "$QUILLOMATIC_ROOT/scripts/sample.html"
