#!/usr/bin/env bash
# Builds both tools and runs trovik on the bundled example examples/catch.p83
# (with its sprite file): writes examples/catch.asm and starts tasm.exe on it,
# here the stand-in assembler of the build. It needs the ION shell's include
# file ion.inc next to the program or in a folder of TASM_INCLUDE; without it
# the assembler says where it looked.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
export PATH="$PWD/build/bin:$PATH"
cd examples
trovik catch -s || status=$?
echo "trovik finished with exit status ${status:-0}; examples/catch.asm:"
cat catch.asm
