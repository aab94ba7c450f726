#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: a normal build of
# the program, its tools and benchmarks; a clang build under AddressSanitizer
# and UndefinedBehaviorSanitizer that builds and runs every test and builds the
# fuzzers; the threaded tests (sound engine, kernel threads, the window layer's
# frames shown on the display's thread and its locks, image textures), one
# short run of the game and the game in a real window under ThreadSanitizer;
# then the fuzzers. Each
# phase prints one line saying what it does; the compilers' and tests' output
# goes to a log in its build folder, shown only when something fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
jobs=$(nproc)
# Tests spend part of their time waiting (on their threads, the disk, a child
# process): two at a time per processor keep the processors busy.
test_jobs=$((jobs * 2))

# Configures and builds one folder; with targets set only those are built.
build_folder() {
  local dir=$1; shift
  local log=$dir/test.log
  mkdir -p "$dir"
  if ! { cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" &&
         cmake --build "$dir" -j "$jobs" ${targets:+--target ${targets}}; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "Building in $dir failed; the whole output is in $log."
    exit 1
  fi
}

# Prints the time since a start (in seconds of $SECONDS) as "M min S s".
since() {
  echo "$(( (SECONDS - $1) / 60 )) min $(( (SECONDS - $1) % 60 )) s"
}

# Reads ctest's JUnit report of a run and prints how many tests passed, how
# many were skipped, and why, grouped by reason, the most frequent first:
# "PASSED SKIPPED (15: reason; 1: reason)". A reason is a skipped GoogleTest's
# message (where it gives none, the place that skipped), a test script's
# "skipped: ..." line, or "disabled"; paths inside the project are given from
# its root.
count_tests() {
  awk -v root="$PWD/" '
    function decode(s) {
      gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s); gsub(/&apos;/, "\047", s)
      gsub(/&amp;/, "\\&", s)
      return s
    }
    function relative(s,  i) {
      while ((i = index(s, root)) > 0) s = substr(s, 1, i - 1) substr(s, i + length(root))
      return s
    }
    /<testcase / {
      total++
      state = /status="notrun"/ ? "skipped" : /status="disabled"/ ? "disabled" : ""
      reason = ""; place = ""
      next
    }
    state == "skipped" && reason == "" {
      line = $0
      sub(/^[ \t]*<system-out>/, "", line)
      sub(/<\/system-out>.*/, "", line)
      if (place != "") reason = (line == "" || line ~ /^\[  SKIPPED \]/) ? place : line
      else if (line ~ /: Skipped$/) { place = line; sub(/: Skipped$/, "", place) }
      else if (line ~ /^skipped: /) reason = substr(line, 10)
    }
    /<\/testcase>/ && state != "" {
      if (state == "disabled") reason = "disabled"
      else if (reason == "") reason = "no reason in its output"
      reason = relative(decode(reason))
      if (!(reason in count)) order[groups++] = reason
      count[reason]++
      skipped++
      state = ""
    }
    END {
      for (i = 0; i < groups; i++)
        for (j = i + 1; j < groups; j++)
          if (count[order[j]] > count[order[i]]) { t = order[i]; order[i] = order[j]; order[j] = t }
      why = ""
      for (i = 0; i < groups; i++) why = why (i ? "; " : "") count[order[i]] ": " order[i]
      printf "%d %d%s\n", total - skipped, skipped, groups ? " (" why ")" : ""
    }' "$1"
}

# The tests ctest's last run in folder $1 saw fail, as "name, name" (the
# list it keeps stays as it was after a run where none failed).
failed_tests() {
  sed 's/^[0-9]*://' "$1/Testing/Temporary/LastTestsFailed.log" 2>/dev/null | paste -sd, | sed 's/,/, /g'
}

# Builds one folder with the tests and runs them: prints the time the build
# took, how many tests passed and the time they took, and how many were
# skipped and why, or what failed. ctest_args go to ctest. Adds the skipped
# tests to skipped_total.
skipped_total=0
run_suite() {
  local dir=$1; shift
  local log=$dir/test.log start=$SECONDS
  build_folder "$dir" -DHV_BUILD_TESTS=ON "$@"
  echo "   built in $(since "$start")"
  start=$SECONDS
  scripts/fetch-test-data.sh "$dir"
  rm -f "$dir/test-report.xml" "$dir/Testing/Temporary/LastTestsFailed.log"
  if ! (cd "$dir" && ctest -j "$test_jobs" --output-on-failure --output-junit test-report.xml ${ctest_args:-}) \
         >>"$log" 2>&1; then
    local first again=
    first=$(failed_tests "$dir")
    if [ -z "$first" ]; then
      tail -n 40 "$log"
      echo "ctest failed in $dir without naming a failed test; the whole output is in $log."
      exit 1
    fi
    echo "Tests failed in $dir; running the failed ones again, alone, with their output:"
    if ! (cd "$dir" && ctest --rerun-failed --output-on-failure ${ctest_args:-}); then
      again=$(failed_tests "$dir")
    fi
    # ctest's last lines above count only the run again: the verdict comes
    # last.
    echo "== Failed in $dir beside the other tests: $first"
    if [ -z "$again" ]; then
      echo "   Run again alone, they passed: they fail under load or with other tests, and that fails the command."
    else
      echo "   Run again alone, these failed again: $again"
    fi
    echo "The test command failed; the first run's whole output is in $log."
    exit 1
  fi
  local passed skipped why
  read -r passed skipped why < <(count_tests "$dir/test-report.xml")
  if [ "$skipped" -eq 0 ]; then
    echo "   $passed tests passed in $(since "$start")"
  else
    echo "   $passed tests passed in $(since "$start"), $skipped skipped $why"
  fi
  skipped_total=$((skipped_total + skipped))
}

# Every test runs once, in the sanitizer build: the sanitizers check all that a
# normal run checks and more, and one build of the tests instead of two halves
# the test command's time. Debug information is left out of the normal build
# and kept to line tables in the sanitizer builds (enough for their reports):
# it is most of what the compiler and the linker would otherwise spend. The
# run command builds build/ with debugging information: each command gives
# its own flags every time, so that neither keeps the other's.
echo "== normal build in build/: the program, its tools and benchmarks"
start=$SECONDS
build_folder build -DHV_BUILD_TESTS=OFF -DHV_BUILD_BENCH=ON -DHV_BUILD_TOOLS=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG"
echo "   built in $(since "$start")"

echo "== sanitizer build in build-asan/: every test under AddressSanitizer and UndefinedBehaviorSanitizer" \
     "(clang; the game program and its data, which tests play, and the fuzzers are built here too)"
CC=clang CXX=clang++ ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DHV_SANITIZE=ON -DHV_BUILD_FUZZ=ON -DHV_BUILD_BENCH=OFF -DHV_BUILD_TOOLS=OFF -DHV_REQUIRE_X_TOOLS=ON \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"

echo "== thread sanitizer build in build-tsan/: the sound engine, kernel thread and window layer tests, image" \
     "textures, a short game (loading, a new player, a few rooms, quitting) and the game in a real window" \
     "(full screen and back) under ThreadSanitizer"
# The other test programs are not built here; ctest lists them as not built,
# and the real-window test's own rules are left to the sanitizer build. The
# game plays on the data the normal build made, copied beside its program.
TSAN_OPTIONS=halt_on_error=1 \
  targets="sound_tests platform_kernel_tests platform_user_tests windowing_tests threads_tests lanternfield" \
  ctest_args="-E (_NOT_BUILT|real_window_script)$" \
  run_suite build-tsan -DHV_TSAN=ON -DHV_BUILD_BENCH=OFF -DHV_BUILD_TOOLS=OFF -DHV_REQUIRE_X_TOOLS=ON \
  -DHV_SAMPLE_DATA_DIR="$PWD/build/sample" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"

start=$SECONDS
# 15 seconds a harness here (20 when fuzz.sh runs alone) keep the whole
# command within its time on 2 processors.
HV_FUZZ_SECONDS=${HV_FUZZ_SECONDS:-15} scripts/fuzz.sh build-asan
echo "   fuzzed in $(since "$start")"
if [ "$skipped_total" -eq 0 ]; then
  echo "All tests passed."
elif [ "$skipped_total" -eq 1 ]; then
  echo "All tests that ran passed; 1 was skipped, for the reason above."
else
  echo "All tests that ran passed; $skipped_total were skipped, for the reasons above."
fi
