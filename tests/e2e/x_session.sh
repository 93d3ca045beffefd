# SPDX-License-Identifier: GPL-2.0-or-later
# Shared by the end-to-end tests that drive a program in a real X window.
# Sourced; the caller defines `work` (its scratch folder), `xvfb_pid` and
# `fail MESSAGE`.

# Ends a process started here: politely first, then for certain.
stop_process() {
    local pid="$1"
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# Starts Xvfb with a screen of SIZE (e.g. 800x600x24) and exports its DISPLAY.
# Xvfb picks a free display number itself and writes it to the given
# descriptor when ready, so parallel runs never collide.
start_display() {
    Xvfb -displayfd 3 -screen 0 "$1" -noreset -nolisten tcp \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        if [[ -s "$work/display" ]]; then
            export DISPLAY=":$(head -n1 "$work/display")"
            return
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$work/xvfb.log" >&2
    fail "Xvfb did not start"
}

# Fails when the process PID has loaded a GL driver. The windows draw into their
# own pixels; a GL driver loaded and unloaded again leaves leaks that no
# suppression can name, so the sanitizer build's result would depend on which
# drivers the machine happens to have.
expect_no_gl_driver() {
    local loaded
    loaded="$(grep -Eo '/[^ ]*/(libGL[A-Za-z_]*|libEGL[A-Za-z_]*|[a-z0-9_]+_dri)\.so[.0-9]*' \
        "/proc/$1/maps" 2>/dev/null | sort -u | tr '\n' ' ' || true)"
    [[ -z "$loaded" ]] || fail "the window loaded a GL driver: $loaded"
}
