#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Assembles a generated source of 20,000 lines that uses macros with
# arguments, #defcont, several statements per line, conditionals, local
# labels and strict left-to-right expressions, with the stand-in tasm.exe in
# both argument sets.
#   bench/assembler_bench.sh [path/to/tasm.exe]   (default: build/bin/tasm.exe)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tasm="${1:-$root/build/bin/tasm.exe}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

awk 'BEGIN {
  print "#define bcall(addr) rst 28h \\ .dw addr"
  print "#define SAVE push af \\ push bc"
  print "#defcont \\ push hl"
  print "#define RESTORE pop hl \\ pop bc \\ pop af"
  print "#define LOADXY(x, y) ld b, x \\ ld c, y"
  print "#define FAST"
  print "PutS .equ 450Ah"
  print "\t.org 0"
  lines = 8
  for (block = 0; lines < 20000; block++) {
    print "\t.module m" block
    print "_top\tSAVE"
    print "\tLOADXY(" block % 100 "+3*2, (" block "%7)<<2)"
    print "#ifdef FAST"
    print "\tbcall(PutS)"
    print "#else"
    print "\tcall PutS"
    print "#endif"
    print "\tld a,(" block "&255)%16 \\ and 0Fh"
    print "\tRESTORE"
    print "\tdjnz _top ; loop " block
    lines += 11
  }
  print "\t.end"
}' > "$work/bench.asm"
echo "source: $(wc -l < "$work/bench.asm") lines, $(du -h "$work/bench.asm" | cut -f1)"

# Best of five runs: wall time, and the processor time of tasm.exe and the
# z80asm it starts (user + system), which a busy machine does not inflate.
best() {
  local TIMEFORMAT='%R %U %S' wall="" cpu=""
  for run in 1 2 3 4 5; do
    read -r r u s < <({ time "$@" >/dev/null; } 2>&1)
    wall=$(awk -v t="$r" -v b="$wall" 'BEGIN { print (b == "" || t < b) ? t : b }')
    cpu=$(awk -v t="$(awk -v u="$u" -v s="$s" 'BEGIN { print u + s }')" -v b="$cpu" \
      'BEGIN { print (b == "" || t < b) ? t : b }')
  done
  printf '%.3f s wall, %.3f s processor' "$wall" "$cpu"
}
cd "$work"
if ! "$tasm" -t80 -b -i bench.asm bench.bin >log.txt 2>&1; then
  head -5 log.txt
  exit 1
fi
echo "Intel HEX (-80 -p60 -i -o20): $(best "$tasm" -80 -p60 -i -o20 bench.asm)"
echo "binary (-t80 -b -i):          $(best "$tasm" -t80 -b -i bench.asm bench.bin)"
printf 'output: %s bytes\n' "$(stat -c %s bench.bin)"
