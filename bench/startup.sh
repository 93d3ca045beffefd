#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Measures calcview's start-up (run by hand on a Release build): `calcview
# --version`, a headless run of catch (ended by Clear), and edit to picture:
# trovik (with tasm.exe) + pack83 + a headless calcview run that saves a
# screenshot. Prints the median wall and processor time of 20 runs each (with
# farm-bench when it is on PATH), and the shared libraries calcview and its
# window module load. Goal: catch headless under 10 ms, edit to picture under
# 40 ms.
#   bench/startup.sh [path/to/build]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath "${1:-$root/build}")"
bin="$build/bin"
[ -x /usr/bin/time ] || { echo "installing GNU time"; apt-get install -y -qq time >/dev/null; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root/examples/catch.p83" "$root/examples/catch.spr" "$work/"
export PATH="$bin:$PATH" TASM_INCLUDE="$root/calculator_include"
cat > "$work/edit-to-picture.sh" <<SCRIPT
#!/bin/sh
cd "$work" && trovik catch -s >/dev/null && pack83 catch.obj >/dev/null &&
  calcview --headless --keys clear --screenshot catch.png catch.83p
SCRIPT
chmod +x "$work/edit-to-picture.sh"
"$work/edit-to-picture.sh"

# Prints "median wall ms, median processor ms" of 20 runs.
measure() {
    if command -v farm-bench >/dev/null; then
        farm-bench -n 20 -- "$@" 2>&1 | awk '
            $1 == "A" && $2 == "wall" { wall = $5 * 1000 }
            $1 == "A" && $2 == "cpu" { cpu = $5 * 1000 }
            END { printf "%.1f ms wall, %.1f ms processor\n", wall, cpu }'
        return
    fi
    for _ in $(seq 20); do
        /usr/bin/time -f "%e %U %S" -a -o "$work/times" "$@" >/dev/null 2>&1
    done
    sort -n "$work/times" | awk '{ wall[NR] = $1; cpu[NR] = $2 + $3 } END {
        asort(cpu); printf "%.1f ms wall, %.1f ms processor\n", wall[10] * 1000, cpu[10] * 1000 }'
    rm -f "$work/times"
}

echo "calcview --version:        $(measure "$bin/calcview" --version)"
echo "catch headless:            $(measure "$bin/calcview" --headless --keys clear "$work/catch.83p")"
echo "edit to picture:           $(measure "$work/edit-to-picture.sh")"
echo "libraries: calcview $(ldd "$bin/calcview" | wc -l)," \
     "its window module $(ldd "$build/lib/trovik/calcview/calcview-window.so" | wc -l) (loaded when a window opens)"
