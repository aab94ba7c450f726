#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang under AddressSanitizer and runs each
# for a while (HV_FUZZ_SECONDS, 30 by default) from its seed corpus. Each fuzzer
# gets a temporary folder of its own (its corpus copy, its files, its log),
# removed afterwards; an input that fails is kept in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${HV_FUZZ_SECONDS:-30}
harnesses=()
for src in fuzz/fuzz_*.cpp; do harnesses+=("$(basename "$src" .cpp)"); done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== fuzzing: building ${#harnesses[@]} harnesses with clang under AddressSanitizer in build-fuzz/" \
     "(a few minutes the first time; log in build-fuzz/build.log)"
mkdir -p build-fuzz
if ! { CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_SANITIZE=ON \
         -DHV_BUILD_FUZZ=ON -DHV_BUILD_TESTS=OFF -DHV_BUILD_BENCH=OFF -DHV_BUILD_TOOLS=OFF \
         -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link &&
       cmake --build build-fuzz -j "$(nproc)" --target "${harnesses[@]}"; } >build-fuzz/build.log 2>&1; then
  tail -n 40 build-fuzz/build.log
  echo "The fuzzing build failed; the whole output is in build-fuzz/build.log."
  exit 1
fi

for h in "${harnesses[@]}"; do
  echo "== fuzzing $h for ${seconds} s"
  rm -rf "${work:?}"/*
  mkdir -p "$work/corpus" "$work/tmp"
  cp -r "fuzz/corpus/${h#fuzz_}"/. "$work/corpus"/ 2>/dev/null || true
  if ! TMPDIR="$work/tmp" LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp build-fuzz/fuzz/"$h" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=1024 \
       -artifact_prefix=build-fuzz/ -print_final_stats=1 "$work/corpus" >"$work/log" 2>&1; then
    tail -n 60 "$work/log"
    echo "Fuzzing $h found a failure; the input is in build-fuzz/."
    exit 1
  fi
  awk '/^stat::number_of_executed_units:/ {runs = $NF} /^stat::peak_rss_mb:/ {mb = $NF}
               END {printf "   %s inputs tried, at most %s MB in use\n", runs, mb}' "$work/log"
done
