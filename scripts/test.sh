#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal
# build, and a build under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  scripts/fetch-test-data.sh "$dir"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

echo "== normal build"
run_suite build
echo "== sanitizer build"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DHV_SANITIZE=ON -DHV_BUILD_BENCH=OFF -DHV_BUILD_TOOLS=OFF

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzzing"
  scripts/fuzz.sh
fi
echo "All tests passed."
