#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# End-to-end test of pixelkin in a real X window: the editor runs under Xvfb, xdotool clicks, taps
# and presses keys over its controls, drops a PNG on it, screenshots are checked for the expected
# palette colours at chosen canvas points, and the saved files are compared byte for byte.
#
# Usage: pixelkin_e2e.sh PIXELKIN CLOSE_WINDOW EXPECTED_DIR [KEEP_DIR]
#   KEEP_DIR, when given, receives the saved sprite files and a screenshot of the editor.
set -euo pipefail

pixelkin="$(realpath "$1")"
close_window="$(realpath "$2")"
# Built beside close_window: drops files on the window as a file manager does.
drop_files="$(dirname "$close_window")/drop_files"
expected="$(realpath "$3")"
keep="${4:-}"

scale=2
# An ordinary click: well below the 400 ms after which a held control repeats.
hold_seconds=0.08
work="$(mktemp -d "${TMPDIR:-/tmp}/pixelkin-e2e.XXXXXX")"
files="$work/files"
mkdir -p "$files"
xvfb_pid=""
editor_pid=""
window=""

source "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/x_session.sh"

cleanup() {
    [[ -n "$editor_pid" ]] && stop_process "$editor_pid"
    [[ -n "$xvfb_pid" ]] && stop_process "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [[ -f "$work/stderr" ]]; then
        echo "--- editor's standard error:" >&2
        cat "$work/stderr" >&2
    fi
    exit 1
}

step() { echo "== $*"; }

# Starts the editor in the files folder with the given arguments and waits for its window
# to show the start screen.
start_editor() { start_editor_in "$files" "$@"; }

# Starts the editor in folder $1 with the other arguments.
start_editor_in() {
    local folder="$1"
    shift
    (cd "$folder" && exec "$pixelkin" "$@") >"$work/stdout" 2>"$work/stderr" &
    editor_pid=$!
    window=""
    for _ in $(seq 100); do
        kill -0 "$editor_pid" 2>/dev/null || fail "the editor ended before its window appeared"
        window="$(xdotool search --name '^pixelkin: ' 2>/dev/null | tail -n1 || true)"
        if [[ -n "$window" ]] && screenshot 2>/dev/null && [[ "$(colour_at 4 4)" == white ]]; then
            expect_no_gl_driver "$editor_pid"
            return
        fi
        sleep 0.1
    done
    fail "no editor window showing the start screen within 10 s"
}

# Waits for the editor to end and checks its exit status.
expect_editor_exit() {
    local want="$1" status=""
    for _ in $(seq 100); do
        if ! kill -0 "$editor_pid" 2>/dev/null; then
            set +e
            wait "$editor_pid"
            status=$?
            set -e
            break
        fi
        sleep 0.1
    done
    [[ -n "$status" ]] || fail "the editor did not end within 10 s"
    editor_pid=""
    [[ "$status" == "$want" ]] || fail "exit status $status, expected $want"
}

# Presses a button with the pointer at canvas point (x, y), holds it briefly, releases it.
# Button numbers are X's: 1 left, 3 right.
press() {
    local x="$1" y="$2" button="${3:-1}" hold="${4:-$hold_seconds}"
    xdotool mousemove --window "$window" $((x * scale + 1)) $((y * scale + 1)) \
        sleep 0.03 mousedown "$button" sleep "$hold" mouseup "$button" sleep 0.03
}
press_cell() { press $((8 * $1 + 4)) $((8 * $2 + 4)) "${3:-1}"; }
press_caption() { press 30 $(($1 + 4)); }

# A touchpad tap: press and release with no pause, usually both between two passes.
tap() {
    xdotool mousemove --window "$window" $(($1 * scale + 1)) $(($2 * scale + 1)) \
        sleep 0.03 mousedown 1 mouseup 1 sleep 0.05
}

# Presses keys with the pointer over the window, which then has the keyboard.
keys() {
    xdotool mousemove --window "$window" 300 300 sleep 0.03 key --delay 80 "$@" sleep 0.05
}

# Fails unless the editor is still running a moment after whatever asked it to leave.
expect_editor_running() {
    sleep 0.5
    kill -0 "$editor_pid" 2>/dev/null || fail "$1: the editor ended"
}

screenshot() { import -window "$window" -depth 8 "rgb:$work/shot.rgb"; }

# The name of the colour shown at canvas point (x, y), checked on both corners of its
# enlarged square so that the scaling is checked too.
colour_at() {
    local x="$1" y="$2" width=$((320 * scale)) first second
    first="$(rgb_at $((x * scale)) $((y * scale)) "$width")"
    second="$(rgb_at $((x * scale + scale - 1)) $((y * scale + scale - 1)) "$width")"
    if [[ "$first" != "$second" ]]; then
        echo "uneven($first/$second)"
        return
    fi
    case "$first" in
        "0 0 0") echo black ;;
        "0 0 168") echo blue ;;
        "0 168 0") echo green ;;
        "252 252 252") echo white ;;
        "128 128 128") echo grey ;;
        *) echo "other($first)" ;;
    esac
}

rgb_at() {
    od -An -tu1 -j $((($2 * $3 + $1) * 3)) -N3 "$work/shot.rgb" | xargs
}

# True when the right half of the status line holds white text: a failure or a warning, which
# run longer than the sprite's "Sprite N/50  WxH".
long_status_shown() {
    local width=$((320 * scale)) y
    for ((y = 468 * scale; y < 476 * scale; y++)); do
        od -An -v -tu1 -w3 -j $(((y * width + 160 * scale) * 3)) -N $((160 * scale * 3)) \
            "$work/shot.rgb" | grep -q "252 *252 *252" && return 0
    done
    return 1
}

# Checks "x y colour" triples against the last screenshot.
expect_colours() {
    local what="$1"
    shift
    while (($# >= 3)); do
        local got
        got="$(colour_at "$1" "$2")"
        [[ "$got" == "$3" ]] || fail "$what: canvas point ($1, $2) is $got, expected $3"
        shift 3
    done
}

# The saved byte of sprite $1, column $2, row $3: pixelkin2.dat holds 262 bytes a record, its
# pixels column by column.
pixel_byte() {
    od -An -tu1 -j $((($1 - 1) * 262 + ($2 - 1) * 16 + $3 - 1)) -N1 "$files/pixelkin2.dat" | xargs
}

expect_files_as_saved() {
    cmp "$expected/pixelkin.spr" "$files/pixelkin.spr" || fail "$1: pixelkin.spr differs"
    cmp "$expected/pixelkin2.dat" "$files/pixelkin2.dat" || fail "$1: pixelkin2.dat differs"
}

# Canvas points used below. A cell's middle is (8c + 4, 8r + 4); a preview block's corner is
# (170 + 4c, 5 + 4r); digit (c, r) has its top row at y = 178 + 8r, where both "0" and "1"
# paint columns 8c + 2 and 8c + 3, and its second row, where "1" paints 8c + 1 to 8c + 3. The
# "^" marker paints (8 * width, 132) and the "<" marker (135, 8 * height - 3).
captions_quit=315 captions_save=330 captions_load=345 captions_clear=360
captions_next=390

step "command line and display failures"
set +e
timeout 10 "$pixelkin" --scale 9 2>"$work/usage"
status=$?
set -e
[[ $status == 2 ]] || fail "--scale 9 gave exit status $status, expected 2"
grep -q '^usage: pixelkin \[--scale N\] \[FOLDER\]' "$work/usage" ||
    fail "no usage line: $(cat "$work/usage")"
set +e
timeout 10 "$pixelkin" --scale=2 "$work/no such folder" 2>"$work/usage"
status=$?
set -e
[[ $status == 2 ]] || fail "a missing folder gave exit status $status, expected 2"
grep -q "no such folder" "$work/usage" && grep -q '^usage: pixelkin' "$work/usage" ||
    fail "no cause and usage for a missing folder: $(cat "$work/usage")"
version="$("$pixelkin" --version)" || fail "--version failed"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed '$version'"
set +e
env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$pixelkin" 2>"$work/nodisplay"
status=$?
set -e
[[ $status == 1 ]] || fail "without a display the exit status was $status, expected 1"
[[ "$(wc -l <"$work/nodisplay")" == 1 ]] || fail "expected one line: $(cat "$work/nodisplay")"

start_display 1280x1024x24

step "start screen"
start_editor --scale "$scale"
expect_colours "start screen" \
    4 4 white  68 4 green  0 0 black  8 4 black \
    171 6 white  203 6 green \
    2 178 white  74 178 green \
    64 132 white  135 61 white \
    12 375 white  12 420 white  2 450 white  0 468 black

step "drawing with the left button, clearing with the right"
for cell in 2,0 3,0 4,0 5,0 1,1 6,1 0,2 2,2 5,2 7,2 0,3 7,3 \
    0,4 2,4 5,4 7,4 0,5 3,5 4,5 7,5 1,6 6,6 2,7 3,7 4,7 5,7 9,1 15,15 3,3; do
    press_cell "${cell%,*}" "${cell#*,}"
done
press_cell 3 3 3
screenshot
# Cell (9, 1) lies outside the 8 x 8 region: the light slash in blue, a green "1".
expect_colours "drawn" \
    20 4 blue  4 4 white  28 28 white  12 12 blue \
    73 14 blue  74 14 black  75 187 green \
    178 5 blue  170 5 white
if [[ -n "$keep" ]]; then
    mkdir -p "$keep"
    convert -size "$((320 * scale))x$((480 * scale))" -depth 8 "rgb:$work/shot.rgb" \
        "$keep/pixelkin.png"
fi

step "a click on + steps once: eight clicks take the width and height to 16"
for _ in $(seq 8); do
    press 124 142
    press 142 124
done
screenshot
expect_colours "resized" \
    128 132 white  64 132 black  135 125 white  135 61 black \
    76 12 blue  124 124 blue  124 100 white  75 187 white

step "Save writes both files"
press_caption $captions_save
expect_files_as_saved "after Save"

step "Clear, then Load brings the sprite back"
press_caption $captions_clear
screenshot
expect_colours "cleared" 20 4 white  76 12 white  124 124 white  128 132 white
press_caption $captions_load
screenshot
expect_colours "loaded" 20 4 blue  76 12 blue  124 124 blue  4 4 white  128 132 white

step "Load without a file reports runtime error 2 and keeps the sprite"
mv "$files/pixelkin2.dat" "$work/aside.dat"
press_caption $captions_load
screenshot
expect_colours "failed load" 20 4 blue  124 124 blue  128 132 white
long_status_shown || fail "failed load: no failure on the status line"
grep -q '^Runtime error 2: pixelkin2.dat' "$work/stderr" || fail "no runtime error 2 report"
mv "$work/aside.dat" "$files/pixelkin2.dat"

step "the next press clears the failure; Save writes the same files again"
press_caption $captions_save
screenshot
long_status_shown && fail "the failure stays after the next press"
expect_files_as_saved "after the second Save"

step "Next shows sprite 2 with its own markers"
press_caption $captions_next
screenshot
expect_colours "next" 20 4 white  76 12 green  64 132 white  128 132 black  135 61 white

step "Ctrl+Z undoes a stroke, Ctrl+Y and Ctrl+Shift+Z redo it"
press_cell 1 1
for redo in ctrl+y ctrl+shift+z; do
    keys ctrl+z
    screenshot
    expect_colours "undone" 12 12 white
    keys "$redo"
    screenshot
    expect_colours "redone with $redo" 12 12 blue
done
keys ctrl+z

step "Quit ends the editor with status 0 and does not save"
press_caption $captions_quit
expect_editor_exit 0
expect_files_as_saved "after Quit"
if [[ -n "$keep" ]]; then
    cp "$files/pixelkin.spr" "$files/pixelkin2.dat" "$keep/"
fi

step "three clicks on Next and taps land where they should; Ctrl+S saves"
start_editor --scale "$scale"
for _ in 1 2 3; do
    press_caption $captions_next
done
tap 12 12
tap 30 $((captions_next + 4))
tap 30 $((captions_next + 4))
tap 20 4
keys Page_Up
tap 36 4
keys ctrl+s
# The taps set column 2 row 2 of sprite 4, column 3 row 1 of sprite 6 and column 5 row 1 of
# sprite 5.
for expected_pixel in "4 2 2 1" "6 3 1 1" "5 5 1 1" "1 2 2 0" "5 2 2 0"; do
    set -- $expected_pixel
    [[ "$(pixel_byte "$1" "$2" "$3")" == "$4" ]] ||
        fail "sprite $1 column $2 row $3 should be $4 after the clicks, taps and keys"
done
press_caption $captions_quit
expect_editor_exit 0

step "with unsaved changes Quit and closing the window warn first, then leave"
cp "$files/pixelkin.spr" "$files/pixelkin2.dat" "$work/"
start_editor
[[ "$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')" == 640x960 ]] ||
    fail "without --scale the window should be the largest that fits 1280x1024: 640x960"
"$close_window" "$window"
expect_editor_exit 0
start_editor --scale "$scale"
press_cell 0 0
press_caption $captions_quit
expect_editor_running "first Quit"
screenshot
long_status_shown || fail "no warning on the status line"
"$close_window" "$window"
expect_editor_exit 0
cmp "$work/pixelkin2.dat" "$files/pixelkin2.dat" || fail "leaving wrote pixelkin2.dat"
start_editor --scale "$scale"
press_cell 0 0
"$close_window" "$window"
expect_editor_running "first close"
press_caption $captions_quit
expect_editor_exit 0

step "a folder argument: Copy, paste with a right press, Rotote and an arrow; Save writes all three"
other="$work/other folder"
mkdir -p "$other" "$work/elsewhere"
start_editor_in "$work/elsewhere" --scale=2 "$other"
[[ "$(xdotool getwindowname "$window")" == "pixelkin: $other" ]] ||
    fail "the window title does not name the folder: $(xdotool getwindowname "$window")"
for cell in 0,0 1,0 2,0 0,1; do
    press_cell "${cell%,*}" "${cell#*,}"
done
press 3 142
press 3 142
press_caption 375
press_caption $captions_next
press_caption $captions_next
press 30 379 3
press_caption 420
keys Right
screenshot
# Sprite 3 is 8 wide and 6 high now: "^" under column 8, "<" beside row 6.
expect_colours "pasted, turned, shifted" 4 4 blue  60 4 blue  52 4 white  4 20 blue \
    4 28 white  64 132 white  135 45 white  4 52 green
keys ctrl+s
zeros=$'\t .db %00000000\r\n'
{
    printf ';6*8\r\n;sprite 1\r\n\t .db %%11100000\r\n\t .db %%10000000\r\n'
    for _ in 1 2 3 4 5 6; do printf '%s' "$zeros"; done
    printf ';8*8\r\n;sprite 2\r\n'
    for _ in 1 2 3 4 5 6 7 8; do printf '%s' "$zeros"; done
    printf ';8*6\r\n;sprite 3\r\n\t .db %%10000001\r\n\t .db %%10000000\r\n\t .db %%10000000\r\n'
    for _ in 1 2 3; do printf '%s' "$zeros"; done
} >"$work/expected.spr"
cmp "$work/expected.spr" "$other/pixelkin.spr" || fail "pixelkin.spr in the folder argument differs"
[[ "$(stat -c %s "$other/pixelkin2.dat")" == 13100 ]] || fail "pixelkin2.dat is not 13100 bytes"
[[ -z "$(ls -A "$work/elsewhere")" ]] || fail "Save wrote into the folder it was started in"
press_caption $captions_quit
expect_editor_exit 0

step "Ctrl+E exports pixelkin.png; a PNG dropped on the window becomes the sprite in view"
pictures="$work/pictures"
mkdir -p "$pictures"
start_editor_in "$pictures" --scale=2 "$pictures"
press_cell 1 1
keys ctrl+e
[[ "$(identify -format '%wx%h' "$pictures/pixelkin.png")" == 160x80 ]] ||
    fail "pixelkin.png is not a 160x80 sheet"
[[ "$(convert "$pictures/pixelkin.png" -format '%[fx:p{1,1}.a == 1 && p{1,1}.r == 0]' info:)" == 1 ]] ||
    fail "the pixel drawn is not black in pixelkin.png"
convert -size 16x16 xc:white -fill black -draw "line 0,0 15,15" "$work/diagonal.png"
"$drop_files" "$window" "$work/diagonal.png" || fail "the window did not take the dropped PNG"
sleep 0.2
screenshot
expect_colours "the dropped diagonal" 12 12 blue  44 44 blue  124 124 blue  44 36 white \
    124 116 white
keys ctrl+s
[[ "$(head -n1 "$pictures/pixelkin.spr")" == $';16*16\r' ]] ||
    fail "the dropped 16x16 picture was not saved as sprite 1"
press_caption $captions_quit
expect_editor_exit 0

step "quitting right after idling, several times"
for _ in 1 2 3; do
    start_editor --scale "$scale"
    sleep 0.3
    press_caption $captions_quit
    expect_editor_exit 0
done

echo "pixelkin end-to-end test passed"
