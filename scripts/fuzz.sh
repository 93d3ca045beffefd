#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one for
# SECONDS (default 30) on its corpus: the committed seeds and regression cases
# in fuzz/corpus/TARGET/ plus what earlier runs found (build-fuzz/corpus/).
# Fails on a crash, a sanitizer report, a leak or a timeout; the input that
# did it is left in build-fuzz/artifacts/TARGET/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for corpus in fuzz/corpus/*/; do targets+=("$(basename "$corpus")"); done
fi

bash scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Release -DFUZZ=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

for target in "${targets[@]}"; do
  found="build-fuzz/corpus/$target"
  artifacts="build-fuzz/artifacts/$target/"
  log="build-fuzz/$target.log"
  mkdir -p "$found" "$artifacts"
  dictionary=()
  [ -f "fuzz/$target.dict" ] && dictionary=("-dict=fuzz/$target.dict")
  echo "== $target: $seconds s (log: $log)"
  set +e
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts" "${dictionary[@]}" \
      "$found" "fuzz/corpus/$target" >"$log" 2>&1
  status=$?
  set -e
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::new_units_added)' "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz: $target failed (status $status); the input is in $artifacts" >&2
    exit 1
  fi
done
