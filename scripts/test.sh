#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal
# build, and a build under AddressSanitizer and UndefinedBehaviorSanitizer;
# then the threaded tests (sound engine, kernel threads) under ThreadSanitizer,
# and the fuzzers. Each phase prints one line saying what it does; the
# compilers' and tests' output goes to a log in its build folder, shown only
# when something fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
jobs=$(nproc)

# Builds one folder with the tests and runs them: prints how many passed and
# the time taken, or what failed. With targets set only those are built, and
# ctest_args go to ctest.
run_suite() {
  local dir=$1; shift
  local log=$dir/test.log start=$SECONDS
  mkdir -p "$dir"
  if ! { cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_BUILD_TESTS=ON "$@" &&
         cmake --build "$dir" -j "$jobs" ${targets:+--target ${targets}}; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "Building in $dir failed; the whole output is in $log."
    exit 1
  fi
  scripts/fetch-test-data.sh "$dir"
  if ! (cd "$dir" && ctest -j "$jobs" ${ctest_args:-}) >>"$log" 2>&1; then
    echo "Tests failed in $dir; running the failed ones again with their output:"
    (cd "$dir" && ctest --rerun-failed --output-on-failure ${ctest_args:-}) || true
    echo "The whole output is in $log."
    exit 1
  fi
  local count
  count=$(grep -Eo 'tests failed out of [0-9]+' "$log" | tail -n 1 | grep -Eo '[0-9]+$')
  echo "   ${count:-all} tests passed in $(( (SECONDS - start) / 60 )) min $(( (SECONDS - start) % 60 )) s"
}

echo "== normal build in build/: the engine, tools, tests and benchmarks, then every test"
run_suite build -DHV_BUILD_BENCH=ON -DHV_BUILD_TOOLS=ON
echo "== sanitizer build in build-asan/: every test again under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DHV_SANITIZE=ON -DHV_BUILD_BENCH=OFF -DHV_BUILD_TOOLS=OFF

echo "== thread sanitizer build in build-tsan/: the sound engine and kernel thread tests under ThreadSanitizer"
# The other test programs are not built here; ctest lists them as not built.
TSAN_OPTIONS=halt_on_error=1 targets="sound_tests platform_kernel_tests" ctest_args="-E _NOT_BUILT$" \
  run_suite build-tsan -DHV_TSAN=ON -DHV_BUILD_BENCH=OFF -DHV_BUILD_TOOLS=OFF

if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh
fi
echo "All tests passed."
