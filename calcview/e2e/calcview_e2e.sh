#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# End-to-end test of calcview's window: catch.83p, written as a user would
# (trovik, the stand-in assembler with the shipped include files, pack83), runs
# in a window under Xvfb; xdotool holds the arrow keys, window screenshots show
# where the ball went; Escape (Clear) ends the program and a key closes the window.
# Started without a program, the window asks for one; catch.83p dropped on it
# (drop_files, the XDND protocol as a file manager speaks it) runs, and a
# program dropped with a data file on the running window starts in its place.
#
# Usage: calcview_e2e.sh BIN_DIR EXAMPLES_DIR INCLUDE_DIR
set -euo pipefail

bin="$(realpath "$1")"
examples="$(realpath "$2")"
include="$(realpath "$3")"
scale=2
work="$(mktemp -d "${TMPDIR:-/tmp}/calcview-e2e.XXXXXX")"
xvfb_pid=""
view_pid=""

source "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/x_session.sh"

# In a sanitizer build, leak checking stays off for the window runs: SDL unloads
# D-Bus when it quits, and the blocks hanging off D-Bus's own leak are then
# reported from an unnamed module that no suppression can match (or, depending
# on where the libraries land, from the sanitizer runtime). calcview's own code
# is leak-checked by its headless tests, which run it without the window.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0"

cleanup() {
    [[ -n "$view_pid" ]] && stop_process "$view_pid"
    [[ -n "$xvfb_pid" ]] && stop_process "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [[ -f "$work/stderr" ]] && cat "$work/stderr" >&2
    exit 1
}

# The top left corner of the ink in the window, in calculator pixels.
ball_at() {
    import -window "$window" "$work/shot.png"
    convert "$work/shot.png" -threshold 50% -negate -format "%@" info: |
        awk -F'[x+]' -v s="$scale" '{ print $3 / s, $4 / s }'
}

cp "$examples/catch.p83" "$examples/catch.spr" "$work/"
(cd "$work" && export PATH="$bin:$PATH" TASM_INCLUDE="$include" && trovik catch -s > build.log 2>&1 &&
    pack83 catch.obj >> build.log 2>&1) || { cat "$work/build.log" >&2; fail "catch.83p not built"; }

start_display 800x600x24

"$bin/calcview" --scale "$scale" "$work/catch.83p" 2>"$work/stderr" &
view_pid=$!
window=""
for _ in $(seq 100); do
    kill -0 "$view_pid" 2>/dev/null || fail "calcview ended before its window appeared"
    window="$(xdotool search --onlyvisible --class "^calcview$" 2>"$work/xdotool.log" | tail -n1 || true)"
    [[ -n "$window" ]] && break
    sleep 0.1
done
[[ -n "$window" ]] || { cat "$work/xdotool.log" "$work/xvfb.log" >&2; fail "no calcview window within 10 s"; }
xdotool windowfocus "$window"
expect_no_gl_driver "$view_pid"

# The first frames may take a moment on a busy machine.
for _ in $(seq 50); do
    read -r x y <<< "$(ball_at)"
    [[ "$x $y" == "44 28" ]] && break
    sleep 0.1
done
[[ "$x $y" == "44 28" ]] || fail "the ball starts at $x,$y, not 44,28"
xdotool keydown Right; sleep 0.4; xdotool keyup Right; sleep 0.3
read -r right same_row <<< "$(ball_at)"
(( right > 44 && same_row == 28 )) || fail "after Right the ball is at $right,$same_row"
xdotool keydown Down; sleep 0.4; xdotool keyup Down; sleep 0.3
read -r same_column down <<< "$(ball_at)"
(( same_column == right && down > 28 )) || fail "after Down the ball is at $same_column,$down"

xdotool key Escape
for _ in $(seq 50); do
    xwininfo -id "$window" | grep -q 'returned' && break
    sleep 0.1
done
xwininfo -id "$window" | grep -q 'returned' || fail "the title does not say the program returned"
xdotool key space
for _ in $(seq 100); do kill -0 "$view_pid" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$view_pid" || status=$?
view_pid=""
(( status == 0 )) || fail "calcview ended with status $status"

# The window of a calcview started without a program, and files dropped on it.
window_of() {
    local found=""
    for _ in $(seq 100); do
        kill -0 "$view_pid" 2>/dev/null || fail "calcview ended before its window appeared"
        found="$(xdotool search --onlyvisible --class "^calcview$" 2>/dev/null | tail -n1 || true)"
        [[ -n "$found" ]] && break
        sleep 0.1
    done
    [[ -n "$found" ]] || fail "no calcview window within 10 s"
    echo "$found"
}
wait_for_title() {
    for _ in $(seq 50); do
        xwininfo -id "$window" | grep -q -- "$1" && return
        sleep 0.1
    done
    fail "the title does not say '$1': $(xwininfo -id "$window" | grep 'Window id')"
}
# Ion header; ld hl,(progPtr) / ld ix,"LVL" / call ionDetect / jp nz,0000h / ret
printf '\xc9\x30\x01\x00\x2a\x19\x93\xdd\x21\x39\x93\xcd\xb9\x91\xc2\x00\x00\xc9LVL\x00' \
    > "$work/detects.bin"
printf 'LVL\x01' > "$work/level.bin"
"$bin/calcview" --scale "$scale" 2>"$work/stderr" &
view_pid=$!
window="$(window_of)"
wait_for_title "drop a .83p, .83g or .bin file here"
[[ "$(ball_at)" == "0 8" ]] || fail "the empty window's text starts at $(ball_at), not 0,8"
"$bin/drop_files" "$window" "$work/catch.83p" || fail "the window did not take catch.83p"
wait_for_title "catch.83p (Ion)"
for _ in $(seq 50); do
    [[ "$(ball_at)" == "44 28" ]] && break
    sleep 0.1
done
[[ "$(ball_at)" == "44 28" ]] || fail "the dropped catch's ball is at $(ball_at), not 44,28"
"$bin/drop_files" "$window" "$work/detects.bin" "$work/level.bin" ||
    fail "the running window did not take detects.bin and level.bin"
wait_for_title "detects.bin (Ion) - the program returned"
xdotool key space
for _ in $(seq 100); do kill -0 "$view_pid" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$view_pid" || status=$?
view_pid=""
(( status == 0 )) || fail "the window of dropped programs ended with status $status"

# --time-limit closes the window even though the program returned at once.
printf '\xc9' > "$work/returns.bin"
started=$SECONDS
"$bin/calcview" --time-limit=1 "$work/returns.bin" 2>"$work/stderr" &
view_pid=$!
for _ in $(seq 100); do kill -0 "$view_pid" 2>/dev/null || break; sleep 0.1; done
status=0
kill -0 "$view_pid" 2>/dev/null && fail "the window was still open 10 s after a 1 s time limit"
wait "$view_pid" || status=$?
view_pid=""
(( status == 0 )) || fail "calcview --time-limit ended with status $status"
echo "ball moved from 44,28 to $right,28 and $same_column,$down; Clear ended it;" \
    "catch dropped on an empty window ran, a program dropped with its level found it;" \
    "a returned program's window closed at the time limit after $((SECONDS - started)) s"
