#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Measures calcview (run by hand on a Release build):
#  - headless speed: seconds of calculator time per second of wall-clock and of
#    processor time, for a program that computes without pause and for the catch
#    example steered round by a key script;
#  - in a window (under Xvfb when no display is set): how closely the clock keeps
#    to 6 MHz, and the processor use of a program that computes, one that waits
#    in halt, and catch waiting for a key.
#   bench/calcview.sh [path/to/build]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
calcview="$build/bin/calcview"
[ -x /usr/bin/time ] || { echo "installing GNU time"; apt-get install -y -qq time >/dev/null; }
work="$(mktemp -d)"
xvfb=""
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

# ld hl,0 / loop: inc hl / ld a,(hl) / add a,l / ld (9000h),a / jr loop
printf '\x21\x00\x00\x23\x7e\x85\x32\x00\x90\x18\xf8' > "$work/compute.bin"
# loop: ld hl,1234 / call _SetXXXXOP2 / call _OP2ToOP1 / ld a,5 / call _DispOP1A /
#       xor a / ld (pencol),a / jr loop
printf '\x21\xd2\x04\xcd\x7c\x4a\xcd\xc2\x41\x3e\x05\xcd\xd4\x51\xaf\x32\x52\x82\x18\xec' > "$work/numbers.bin"
# ei / loop: halt / jr loop
printf '\xfb\x76\x18\xfd' > "$work/halt.bin"
cp "$root/examples/catch.p83" "$root/examples/catch.spr" "$work/"
(cd "$work" && PATH="$build/bin:$PATH" TASM_INCLUDE="$root/calculator_include" \
  "$build/bin/trovik" catch -s -c > /dev/null)

# Prints "wall user+sys" seconds of one run; calcview's exit status 3 (time limit) is expected.
measure() { /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" > /dev/null 2>&1 || true
            tail -n 1 "$work/time" | awk '{ printf "%s %.3f", $1, $2 + $3 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.0f", a / b }'; }

echo "headless, 60 s of calculator time:"
read -r wall cpu <<< "$(measure "$calcview" --headless --time-limit 60 "$work/compute.bin")"
echo "  computing without pause: ${wall} s wall, ${cpu} s processor: $(ratio 60 "$wall") x wall, $(ratio 60 "$cpu") x processor"
read -r wall cpu <<< "$(measure "$calcview" --headless --time-limit 60 "$work/numbers.bin")"
echo "  showing numbers:         ${wall} s wall, ${cpu} s processor: $(ratio 60 "$wall") x wall, $(ratio 60 "$cpu") x processor"
keys="right:800,down:600,left:800,up:600"
read -r wall cpu <<< "$(measure "$calcview" --headless --time-limit 60 --keys "$keys,$keys,$keys,$keys" "$work/catch.bin")"
echo "  catch with keys:         ${wall} s wall, ${cpu} s processor: $(ratio 60 "$wall") x wall, $(ratio 60 "$cpu") x processor"

if [ -z "${DISPLAY:-}" ]; then
  Xvfb :93 -screen 0 1024x768x24 > /dev/null 2>&1 & xvfb=$!
  export DISPLAY=:93
  sleep 1
fi
echo "window: the clock over 10 s of calculator time (the difference of a 5 s and a 15 s run,"
echo "so that start-up and closing cancel out), and the processor use over the 15 s run:"
for program in compute halt catch; do
  read -r short _ <<< "$(measure "$calcview" --time-limit 5 "$work/$program.bin")"
  read -r long cpu <<< "$(measure "$calcview" --time-limit 15 "$work/$program.bin")"
  awk -v name="$program" -v short="$short" -v long="$long" -v cpu="$cpu" 'BEGIN {
    printf "  %-8s clock %+.2f %% off 6 MHz, processor use %.1f %% of a core\n",
           name, (10 / (long - short) - 1) * 100, cpu / long * 100 }'
done
