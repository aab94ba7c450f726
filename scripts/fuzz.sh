#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang under AddressSanitizer and runs each
# for a while (HV_FUZZ_SECONDS, 30 by default) from its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${HV_FUZZ_SECONDS:-30}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_SANITIZE=ON \
  -DHV_BUILD_FUZZ=ON -DHV_BUILD_TESTS=OFF -DHV_BUILD_BENCH=OFF -DHV_BUILD_TOOLS=OFF \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
harnesses=()
for src in fuzz/fuzz_*.cpp; do harnesses+=("$(basename "$src" .cpp)"); done
cmake --build build-fuzz -j "$(nproc)" --target "${harnesses[@]}"

for h in "${harnesses[@]}"; do
  corpus=fuzz/corpus/${h#fuzz_}
  work=$(mktemp -d)
  cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "== fuzzing $h for ${seconds}s"
  log=$(mktemp)
  if ! LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp build-fuzz/fuzz/"$h" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=1024 -artifact_prefix=build-fuzz/ \
       -print_final_stats=1 "$work" >"$log" 2>&1; then
    tail -60 "$log"
    echo "fuzzing $h found a failure"
    exit 1
  fi
  grep -E 'stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
  rm -rf "$work" "$log"
done
