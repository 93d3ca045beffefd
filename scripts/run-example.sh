#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# From the bundled example examples/catch.p83 to a program file for the
# calculator: builds the tools, translates the program (with its sprite
# file), assembles it with the stand-in tasm.exe and the calculator include
# files the build ships, and writes examples/catch.83p with pack83.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
export PATH="$PWD/build/bin:$PATH"
export TASM_INCLUDE="${TASM_INCLUDE:+$TASM_INCLUDE:}$PWD/build/share/trovik/include"
cd examples
rm -f catch.obj catch.83p
# trovik starts tasm.exe and reports its own status; the assembler's result
# is whether it wrote catch.obj.
trovik catch -s
if [ ! -s catch.obj ]; then
    echo "run-example: the assembler wrote no examples/catch.obj (see its messages above)" >&2
    exit 1
fi
pack83 catch.obj
cat <<'TEXT'

examples/catch.83p is ready: an Ion program named CATCH.

Send it to a TI-83 with TiLP (Debian package tilp2, program tilp) and a link
cable, the calculator on its home screen:
    tilp --calc=ti83 examples/catch.83p
(add --no-gui to send from the console; --cable= names the cable).

The calculator needs the Ion shell: send ion.83g from Ion's release the same
way, run prgmION once to install it (PRGM, choose ION, ENTER, ENTER).
Start Ion with prgmA (PRGM, choose A, ENTER, ENTER), move to "catch" with the
arrow keys and press ENTER. The arrow keys move the ball, CLEAR quits; MODE
leaves Ion.

Without a calculator, run it in a window on the desktop (arrow keys; Escape is
CLEAR; calcview --help lists the keys):
    build/bin/calcview examples/catch.83p
TEXT
