#!/usr/bin/env bash
# Builds both tools and runs trovik on the bundled example examples/catch.p83
# (with its sprite file): writes examples/catch.asm and starts tasm.exe on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
cd examples
../build/bin/trovik catch -s || status=$?
echo "trovik finished with exit status ${status:-0}; examples/catch.asm:"
cat catch.asm
