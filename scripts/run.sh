#!/usr/bin/env bash
# Installs what is missing, builds and starts Quillomatic from the current folder.
# Without a display it shows the program at work instead: a screenshot of the
# window on a virtual X server and the sample page converted by the companion.
# Only the two programs are built; scripts/test.sh builds the tests too.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

# Qt keeps its runtime files in XDG_RUNTIME_DIR and warns when it is not set,
# as for root, before making a folder of its own under /tmp. The program gets
# a private one instead, removed when it ends.
give_runtime_folder() {
    [ -z "${XDG_RUNTIME_DIR:-}" ] || return 0
    XDG_RUNTIME_DIR="$(mktemp -d)" # mode 0700, as the folder must be
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
}

ensure_build_packages
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    # Without X, Qt reaches the Wayland compositor through its Wayland plugin.
    if [ -z "${DISPLAY:-}" ]; then
        ensure_packages qt6-wayland
        export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-wayland}"
    fi
    configure_and_build_programs
    give_runtime_folder
    "$QUILLOMATIC_BUILD/bin/quillomatic"
    exit
fi

echo "No display found: neither DISPLAY nor WAYLAND_DISPLAY is set, so the window opens on a virtual X server for a screenshot."
ensure_packages "${VIRTUAL_SCREEN_PACKAGES[@]}"
configure_and_build_programs
give_runtime_folder
screenshot="$QUILLOMATIC_BUILD/quillomatic.png"
script="$QUILLOMATIC_BUILD/sample.php"
xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
    bash "$QUILLOMATIC_ROOT/scripts/lib/window-screenshot.sh" "$QUILLOMATIC_BUILD/bin/quillomatic" "$screenshot"
"$QUILLOMATIC_BUILD/bin/quillomatic-convert" --to php --output "$script" "$QUILLOMATIC_ROOT/scripts/sample.html"
echo "The window on the virtual screen: $screenshot"
echo "scripts/sample.html converted to PHP: $script"
