#!/usr/bin/env bash
# Starts the main window on the X display in DISPLAY, saves a screenshot of the
# whole screen once the window shows, and ends the program again (closed from
# its title bar it would ask "quit?", so it gets SIGTERM instead).
# Usage: window-screenshot.sh QUILLOMATIC SCREENSHOT.png
set -euo pipefail

program="$1"
screenshot="$2"
log="$(mktemp)"

QT_QPA_PLATFORM=xcb "$program" >"$log" 2>&1 &
app=$!
trap 'kill "$app" 2>/dev/null || true; rm -f "$log"' EXIT

shown=0
for _ in $(seq 100); do
    if xdotool search --onlyvisible --class quillomatic >/dev/null 2>&1; then
        shown=1
        break
    fi
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
done
if [ "$shown" -eq 0 ]; then
    echo "The window did not appear on the virtual screen. The program said:" >&2
    cat "$log" >&2
    exit 1
fi
# The window is mapped before Qt has painted it.
sleep 1
import -window root "$screenshot"

kill "$app"
wait "$app" 2>/dev/null || true
