#!/usr/bin/env bash
# Installs what is missing, builds and starts Quillomatic from the current folder.
# Without a display it shows the program at work instead: a screenshot of the
# window on a virtual X server and the sample page converted by the companion.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

ensure_build_packages
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    # Without X, Qt reaches the Wayland compositor through its Wayland plugin.
    if [ -z "${DISPLAY:-}" ]; then
        ensure_packages qt6-wayland
        export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-wayland}"
    fi
    configure_and_build
    exec "$QUILLOMATIC_BUILD/bin/quillomatic"
fi

echo "No display found: neither DISPLAY nor WAYLAND_DISPLAY is set, so the window opens on a virtual X server for a screenshot."
ensure_packages "${VIRTUAL_SCREEN_PACKAGES[@]}"
configure_and_build
screenshot="$QUILLOMATIC_BUILD/quillomatic.png"
script="$QUILLOMATIC_BUILD/sample.php"
xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
    bash "$QUILLOMATIC_ROOT/scripts/lib/window-screenshot.sh" "$QUILLOMATIC_BUILD/bin/quillomatic" "$screenshot"
"$QUILLOMATIC_BUILD/bin/quillomatic-convert" --to php --output "$script" "$QUILLOMATIC_ROOT/scripts/sample.html"
echo "The window on the virtual screen: $screenshot"
echo "scripts/sample.html converted to PHP: $script"
