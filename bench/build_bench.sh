#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Times what a debugger's launch builds before the program's first stop, on
# examples/catch.p83 (run by hand on a Release build): trovik, tasm.exe and
# pack83 as processes, the tables made in-process by the translation and the
# layout, and the check of catch.83p against catch.p83. Best of ten runs.
#   bench/build_bench.sh [path/to/build]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
cmake --build "$build" --target calcview_build_bench trovik tasm_standin pack83 > /dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root/examples/catch.p83" "$root/examples/catch.spr" "$work/"
echo "examples/catch.p83 ($(wc -l < "$work/catch.p83") lines), best of 10:"
"$build/calcview/calcview_build_bench" "$build/bin" "$work/catch.p83" -s
