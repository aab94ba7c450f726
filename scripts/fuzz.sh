#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang under AddressSanitizer and runs each
# for a while (HV_FUZZ_SECONDS, 20 by default) from its seed corpus, as many
# side by side as there are processors. Given a build folder that already
# holds the harnesses (the test command's sanitizer build), it only runs them.
# Each fuzzer gets a temporary folder of its own (its corpus copy, its files,
# its log), removed afterwards; an input that fails is kept in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${HV_FUZZ_SECONDS:-20}
jobs=$(nproc)
harnesses=()
for src in fuzz/fuzz_*.cpp; do harnesses+=("$(basename "$src" .cpp)"); done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build=${1:-}
if [ -z "$build" ]; then
  build=build-fuzz
  echo "== fuzzing: building ${#harnesses[@]} harnesses with clang under AddressSanitizer in build-fuzz/" \
       "(a few minutes the first time; log in build-fuzz/build.log)"
  mkdir -p build-fuzz
  if ! { CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_SANITIZE=ON \
           -DHV_BUILD_FUZZ=ON -DHV_BUILD_TESTS=OFF -DHV_BUILD_BENCH=OFF -DHV_BUILD_TOOLS=OFF \
           -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link &&
         cmake --build build-fuzz -j "$jobs" --target "${harnesses[@]}"; } >build-fuzz/build.log 2>&1; then
    tail -n 40 build-fuzz/build.log
    echo "The fuzzing build failed; the whole output is in build-fuzz/build.log."
    exit 1
  fi
fi

# Runs one harness in its own folder; its exit status is the fuzzer's. Inputs
# are capped at 4,096 bytes, or at the length of the harness's longest seed
# where that is more: a seed cut short would lose what it was made for (a
# damaged link at the end of a chained file).
fuzz_one() {
  local h=$1 dir=$work/$1 cap=4096 seed size
  mkdir -p "$dir/corpus" "$dir/tmp"
  cp -r "fuzz/corpus/${h#fuzz_}"/. "$dir/corpus"/ 2>/dev/null || true
  for seed in "$dir/corpus"/*; do
    [ -f "$seed" ] || continue
    size=$(stat -c %s "$seed")
    if [ "$size" -gt "$cap" ]; then cap=$size; fi
  done
  TMPDIR="$dir/tmp" LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp "$build"/fuzz/"$h" \
    -max_total_time="$seconds" -max_len="$cap" -rss_limit_mb=1024 -artifact_prefix="$build"/ \
    -print_final_stats=1 "$dir/corpus" >"$dir/log" 2>&1
}

# Reports one finished harness: its statistics, or its log and a failure.
report() {
  local h=$1 status=$2 log=$work/$1/log
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log"
    echo "Fuzzing $h found a failure; the input is in $build/."
    return 1
  fi
  awk -v h="$h" '/^stat::number_of_executed_units:/ {runs = $NF} /^stat::peak_rss_mb:/ {mb = $NF}
       END {printf "   %s: %s inputs tried, at most %s MB in use\n", h, runs, mb}' "$log"
}

echo "== fuzzing each harness for ${seconds} s, ${jobs} at a time"
failed=0
for ((i = 0; i < ${#harnesses[@]}; i += jobs)); do
  batch=("${harnesses[@]:i:jobs}")
  pids=()
  for h in "${batch[@]}"; do
    fuzz_one "$h" &
    pids+=($!)
  done
  for k in "${!batch[@]}"; do
    status=0
    wait "${pids[$k]}" || status=$?
    report "${batch[$k]}" "$status" || failed=1
  done
  [ "$failed" -eq 0 ] || exit 1
done
