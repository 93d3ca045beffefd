#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Translates a generated program of 1,000,000 statement lines (counted loops
# and arithmetic) and prints: trovik's wall time, the wall time of copying its
# output in user space with dd (read and write the same bytes through a 256 KiB
# buffer; best of ten runs each), their ratio, and trovik's peak memory, also
# in a run where the assembler names the last line of the output. cp
# would copy inside the kernel, which no program that produces its bytes can
# match.
#   bench/run.sh [path/to/trovik]   (default: build/bin/trovik)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
trovik="${1:-$root/build/bin/trovik}"
[ -x /usr/bin/time ] || { echo "installing GNU time"; apt-get install -y -qq time >/dev/null; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
printf '#!/bin/sh\nexit 0\n' > "$work/bin/tasm.exe"
chmod +x "$work/bin/tasm.exe"

awk 'BEGIN {
  print "program bench;"; print "var"; print " x"; print " y"; print " total"; print "begin"
  for (block = 0; block < 100000; block++) {
    print "for(x,y,loop" block ");"; print "begin"
    print "  inc(total);"; print "  add(total,x);"; print "  ^y:=10;"
    print "  mult(total,3);"; print "  div(total,2);"; print "  sub(total,y);"
    print "end;"; print "dec(total);"
  }
  print "end."; print "EOF"
}' > "$work/bench.p83"
echo "source: $(wc -l < "$work/bench.p83") lines, $(du -h "$work/bench.p83" | cut -f1)"

now() { date +%s.%N; }
elapsed() { awk -v a="$(now)" -v b="$1" 'BEGIN { print a - b }'; }
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

# Best of ten runs each, so that a busy moment of the machine does not count.
trovik_seconds=""
copy_seconds=""
cd "$work"
export PATH="$work/bin:$PATH"
for run in 1 2 3 4 5 6 7 8 9 10; do
  rm -f bench.asm  # both write a new file: emptying an old one costs time of its own
  start=$(now)
  "$trovik" bench >/dev/null
  trovik_seconds=$(smaller "$(elapsed "$start")" "$trovik_seconds")
  start=$(now)
  dd if=bench.asm of=copy.asm bs=256k status=none
  copy_seconds=$(smaller "$(elapsed "$start")" "$copy_seconds")
  rm copy.asm
done
/usr/bin/time -f '%M' -o peak "$trovik" bench >/dev/null

# An assembler that names the last line of the output: trovik translates
# once more to find the source line that wrote it.
mkdir "$work/failing"
printf '#!/bin/sh\necho "bench.asm:$(wc -l < bench.asm): a message" >&2\nexit 1\n' \
  > "$work/failing/tasm.exe"
chmod +x "$work/failing/tasm.exe"
start=$(now)
PATH="$work/failing:$PATH" /usr/bin/time -f '%M' -o peak-named "$trovik" bench >/dev/null \
  2>named || true
named_seconds=$(elapsed "$start")

printf 'output: %s\n' "$(du -h bench.asm | cut -f1)"
printf 'trovik wall time: %.3f s\n' "$trovik_seconds"
printf 'dd wall time:     %.3f s\n' "$copy_seconds"
printf 'ratio:            %.2f\n' "$(awk -v a="$trovik_seconds" -v b="$copy_seconds" 'BEGIN { print a / b }')"
printf 'trovik peak memory: %s KiB\n' "$(cat peak)"
printf 'with a message naming the last line: %.3f s, peak memory %s KiB\n' "$named_seconds" \
  "$(tail -n 1 peak-named)"
grep -v '^bench.asm' named | head -n 2
