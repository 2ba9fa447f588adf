#!/usr/bin/env bash
# Drives the real program under a real X server as a person does: typing,
# clicking at the layout's pixel positions, answering the message box with
# the keyboard, reading the clipboard. Screenshots of each step go to the
# output folder. Exit 77 (skipped) only where the X server cannot start.
#
# Usage: EndToEndTest.sh QUILLOMATIC QUILLOMATIC_CONVERT OUTPUT_FOLDER
set -euo pipefail

program="$1"
companion="$2"
shots="$3"
mkdir -p "$shots"
rm -f "$shots"/*.png
work="$(mktemp -d)"
server=""
app=""

cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$work/program.log" ]; then
        echo "The program said:" >&2
        cat "$work/program.log" >&2
    fi
    shot "failure"
    if ! kill -0 "$server" 2>/dev/null; then
        echo "The X server has ended. It said:" >&2
        cat "$work/xvfb.log" >&2
    fi
    exit 1
}

for tool in Xvfb xdotool xclip import; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

# Without a display it says so, rather than Qt's advice to reinstall.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" page.html >/dev/null 2>"$work/no-display.log" || status=$?
[ "$status" -eq 1 ] && [ "$(cat "$work/no-display.log")" = "quillomatic: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)." ] ||
    { echo "FAIL: without a display, status $status and:" >&2; cat "$work/no-display.log" >&2; exit 1; }
# A platform named in either spelling Qt takes is left to Qt, which starts on it: the option after it is refused.
for option in -platform --platform; do
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$option" offscreen --no-such-option >/dev/null 2>&1 || status=$?
    [ "$status" -eq 2 ] || { echo "FAIL: $option offscreen without a display: status $status" >&2; exit 1; }
done

# A display of our own. The server picks a free number itself and writes it
# once it takes connections: another test starting a server at the same
# moment can neither take the same number nor have its server used by us.
# Without -noreset the server starts over each time its last client leaves,
# as when the program quits before being started again with a page, and a
# program connecting in that moment is turned away now and then.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
server=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.05
done
if [ ! -s "$work/display" ]; then
    echo "SKIPPED: the virtual X server (Xvfb) could not start here:" >&2
    cat "$work/xvfb.log" >&2
    exit 77
fi
export DISPLAY=":$(head -n 1 "$work/display")"

step=0
shot() {
    step=$((step + 1))
    import -window root "$(printf '%s/%02d-%s.png' "$shots" "$step" "$1")" 2>/dev/null || true
}

# Waits until COMMAND succeeds, for at most 15 seconds (a busy machine
# starts the program slowly).
wait_for() {
    for _ in $(seq 300); do
        if eval "$1" >/dev/null 2>&1; then return 0; fi
        sleep 0.05
    done
    return 1
}

# Started in a folder of its own, the program stages its text in its own
# cache folder, here under the test's folder rather than the real home.
cd "$work"
XDG_CACHE_HOME="$work/cache" QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
app=$!
wait_for "xdotool search --onlyvisible --class quillomatic" || fail "the main window did not appear"
window="$(xdotool search --onlyvisible --class quillomatic | head -n 1)"
sleep 0.5
shot "started"

# Clicks at a point given in the main window's own pixels.
click() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
    sleep 0.2
}
# The program's windows are told apart by what they are, never by how many
# there are: a file dialog's name completer is a window of the program too.
# The visible window of the program that is SIZE (as 289x138) pixels, if any.
window_of_size() {
    local id
    for id in $(xdotool search --onlyvisible --class quillomatic); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        if [ "${WIDTH}x${HEIGHT}" = "$1" ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
# The message box and the about box, by their fixed sizes.
message_box() { window_of_size 289x138; }
about_box() { window_of_size 382x212; }
# The open or save dialog, by its title.
file_dialog() { xdotool search --onlyvisible --name '^Load HTML$' | head -n 1; }
# Whether window ID has the keyboard focus, where a key press goes.
has_focus() { [ -n "$1" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# Waits until the message box is up and has the focus.
wait_for_box() {
    wait_for 'has_focus "$(message_box)"' || fail "no message box took the focus ($1)"
    sleep 0.3
    shot "$1"
}
wait_for_box_gone() {
    wait_for '! message_box' || fail "the message box stayed up ($1)"
}
answer_first() { xdotool key Return; wait_for_box_gone "$1"; }
# The same box comes straight back with the next message: its text changes.
answer_first_then_next() { xdotool key Return; sleep 0.5; }
answer_second() { xdotool key Tab Return; wait_for_box_gone "$1"; }
# Waits for the file dialog to take the focus, types PATH and accepts it. A
# Return that only closes the name completer is pressed again.
pick_in_dialog() {
    wait_for 'has_focus "$(file_dialog)"' || fail "no file dialog took the focus ($2)"
    sleep 0.3
    [ -z "${3:-}" ] || shot "$3"
    xdotool type --delay 2 -- "$1"
    for _ in 1 2 3; do
        has_focus "$(file_dialog)" || break
        xdotool key Return
        wait_for '! has_focus "$(file_dialog)"' && break
    done
    wait_for '[ -z "$(file_dialog)" ]' || fail "the file dialog stayed up ($2)"
}

# Controls, from the window's layout: pages start at (8, 80).
html_box=(200 180)
convert_button=(364 300)
load_button=(108 300)
copy_button=(80 300)
save_button=(240 300)
close_button=(472 8)
about_button=(440 8)
view() { click $((2 + ($1 - 1) * 48 + 22)) 40; }

# Type a page with quotes, backslashes and dollar signs.
click "${html_box[@]}"
page_lines=('<p class="price">$5 "each"</p>' '<a href="C:\web\index.htm">\n</a>' '  <td>me@example.com</td>')
for line in "${page_lines[@]}"; do
    xdotool type --delay 5 -- "$line"
    xdotool key Return
done
xdotool type --delay 5 -- 'last'
printf '%s\r\n' "${page_lines[@]}" >"$work/typed.html"
printf 'last' >>"$work/typed.html"
shot "typed"

click "${convert_button[@]}"
wait_for_box "converted"
answer_first "success message"

formats=(asp javascript php jsp perl)
for position in 2 3 4 5 6; do
    format="${formats[$((position - 2))]}"
    view "$position"
    sleep 0.3
    shot "view-$format"
    click "${copy_button[@]}"
    "$companion" --to "$format" "$work/typed.html" >"$work/expected.$format"
    xclip -selection clipboard -o >"$work/clipboard.$format" || fail "nothing on the clipboard"
    cmp "$work/expected.$format" "$work/clipboard.$format" ||
        fail "Copy All of the $format view differs from the expected script"
done

# Load a file through the open dialog, over the typed page: yes to the erase question.
printf '<h1>"Loaded" $page</h1>\r\n\t<p>from a file</p>\r\n' >"$work/loaded.html"
view 1
click "${load_button[@]}"
pick_in_dialog "$work/loaded.html" "open dialog" "open-dialog"
wait_for_box "erase-question"
answer_first "erase question"
view 4
sleep 0.3
shot "loaded-as-php"
click "${copy_button[@]}"
"$companion" --to php "$work/loaded.html" >"$work/expected-loaded.php"
xclip -selection clipboard -o >"$work/clipboard-loaded.php"
cmp "$work/expected-loaded.php" "$work/clipboard-loaded.php" || fail "the loaded page was not converted"

# Save over an existing file: yes to the overwrite question, then the notice.
printf 'old contents\n' >"$work/saved.php"
click "${save_button[@]}"
pick_in_dialog "$work/saved.php" "save dialog" "save-dialog"
wait_for_box "overwrite-question"
answer_first_then_next
wait_for_box "saved-notice"
answer_first "saved notice"
cmp "$work/expected-loaded.php" "$work/saved.php" || fail "the saved file differs from the script"

# The about box, from the title bar's "?"; Enter presses its OK.
click "${about_button[@]}"
wait_for 'has_focus "$(about_box)"' || fail "no about box took the focus"
sleep 0.3
shot "about-box"
xdotool key Return
wait_for '! about_box' || fail "the about box stayed up"

# A minified page of 5 MB, one line, loaded over the text: yes to the erase
# question. The window is busy taking the page in after the box has gone, and
# nothing of the box may stay on the screen meanwhile.
awk 'BEGIN {
    page = "<div class=\"item\"><a href=\"/shop/item.html\">Item</a><span>$5</span></div>"
    while (length(page) < 5000000) page = page page
    printf "%s", substr(page, 1, 5000000)
}' >"$work/minified.html"
view 1
click "${load_button[@]}"
pick_in_dialog "$work/minified.html" "open dialog, large page"
wait_for_box "erase-question-large-page"
box="$(message_box)"
eval "$(xdotool getwindowgeometry --shell "$box")"
box_area="${WIDTH}x${HEIGHT}+${X}+${Y}"
xdotool key Return
wait_for_box_gone "erase question, large page"
import -window root "$work/after-box.png"
cp "$work/after-box.png" "$shots/$(printf '%02d' $((step + 1)))-box-gone-while-loading.png"
step=$((step + 1))
# The title bar's dark blue is the box's own; the window has none there.
colours="$(convert "$work/after-box.png" -crop "$box_area" +repage -format %c histogram:info:-)"
if grep -qi '#0A246A' <<<"$colours"; then
    fail "the closed message box still shows over the window"
fi

# Every conversion staged the page in the program's folder, none where it started.
compgen -G "$work/cache/quillomatic/qm*.tmp" >/dev/null || fail "no staging file in the cache folder"
! compgen -G "$work/qm*.tmp" >/dev/null || fail "staging files in the folder the program started from"

# Close from the title bar: "No" keeps the program, "Yes" ends it.
click "${close_button[@]}"
wait_for_box "quit-question"
answer_second "quit question, No"
kill -0 "$app" 2>/dev/null || fail "the program ended after No"
xdotool search --onlyvisible --class quillomatic | grep -qx "$window" || fail "the main window went away after No"
shot "still-running"
click "${close_button[@]}"
wait_for_box "quit-question-again"
xdotool key Return
wait_for '! kill -0 "$app"' || fail "the program still runs after Yes"
wait "$app" || fail "the program ended with status $?"
app=""
! compgen -G "$work/cache/quillomatic/qm*.tmp" >/dev/null || fail "staging files left after the window closed"

# Started with a page, named from the folder it is started in, as a shell or
# a file manager starts it: the window opens with the page loaded.
XDG_CACHE_HOME="$work/cache" QT_QPA_PLATFORM=xcb "$program" loaded.html >"$work/program.log" 2>&1 &
app=$!
wait_for "xdotool search --onlyvisible --class quillomatic" || fail "the window did not appear with a page"
window="$(xdotool search --onlyvisible --class quillomatic | head -n 1)"
sleep 0.5
shot "started-with-page"
view 4
click "${copy_button[@]}"
xclip -selection clipboard -o >"$work/clipboard-started.php"
cmp "$work/expected-loaded.php" "$work/clipboard-started.php" || fail "the page named at start was not loaded"

# Ended by a kill, as a session's end or a service manager ends it: by the
# signal, and without its staging files.
compgen -G "$work/cache/quillomatic/qm*.tmp" >/dev/null || fail "no staging file before the kill"
kill -TERM "$app"
status=0
wait "$app" || status=$?
app=""
[ "$status" -eq 143 ] || fail "the program ended with status $status after SIGTERM"
! compgen -G "$work/cache/quillomatic/qm*.tmp" >/dev/null || fail "staging files left after SIGTERM"
echo "PASS: typed, converted, five views copied, loaded, saved, a large page loaded with no trace of the box, about box, quit, started with a page, ended by SIGTERM; screenshots in $shots"
