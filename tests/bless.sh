#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Writes the expected.* files of golden cases from what the built trovik does
# now. Read every file it writes before committing it.
#   tests/bless.sh CASE...   (folders under tests/golden)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
trovik="${TROVIK:-$root/build/bin/trovik}"
for name in "$@"; do
  case_dir="$root/tests/golden/$name"
  work="$(mktemp -d)"
  mkdir "$work/fakebin"
  for f in "$case_dir"/*; do
    base="$(basename "$f")"
    case "$base" in cmd|setup|no-assembler|tasm-script|expected.*) ;; *) cp -r "$f" "$work/";; esac
  done
  if [ ! -e "$case_dir/no-assembler" ]; then
    printf '#!/bin/sh\nprintf '"'"'%%s\\n'"'"' "$*" > tasm.args\n' > "$work/fakebin/tasm.exe"
    [ ! -e "$case_dir/tasm-script" ] || cat "$case_dir/tasm-script" >> "$work/fakebin/tasm.exe"
    chmod +x "$work/fakebin/tasm.exe"
  fi
  args="$(cat "$case_dir/cmd")"
  stem="${args%% *}"
  set +e
  (cd "$work" && { [ ! -e "$case_dir/setup" ] || sh "$case_dir/setup"; } &&
    PATH="$work/fakebin:/usr/bin:/bin" "$trovik" $args >stdout.txt 2>stderr.txt </dev/null)
  status=$?
  set -e
  rm -f "$case_dir"/expected.*
  [ "$status" = 0 ] || echo "$status" > "$case_dir/expected.status"
  [ -s "$work/stderr.txt" ] && cp "$work/stderr.txt" "$case_dir/expected.err"
  [ -s "$work/stdout.txt" ] && cp "$work/stdout.txt" "$case_dir/expected.out"
  [ -e "$work/tasm.args" ] && cp "$work/tasm.args" "$case_dir/expected.tasm"
  if [ -n "$stem" ] && [ -f "$work/$stem.asm" ] && [ ! -e "$case_dir/setup" ]; then
    cp "$work/$stem.asm" "$case_dir/expected.asm"
  fi
  echo "== $name (status $status)"
  rm -rf "$work"
done
