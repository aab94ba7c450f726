#!/usr/bin/env bash
# Installs what is missing, builds the game and its data (no tests, no
# benchmarks) and runs the game: the loading screen with its bar, then the
# main menu; "Start" opens a new game, and the marked exits lead from room to
# room.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

echo "== building the game and its data in build/ (a few minutes the first time; log in build/run-build.log)"
mkdir -p build
# The programs keep their debugging information. The test command builds this
# folder without it: the flags are given every time, so that neither
# command's build keeps the other's (the folder is built again after a switch).
if ! { cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_BUILD_TESTS=OFF -DHV_BUILD_BENCH=OFF \
         -DHV_BUILD_TOOLS=ON \
         -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g -DNDEBUG" &&
       cmake --build build -j "$(nproc)" --target lanternfield; } >build/run-build.log 2>&1; then
  tail -n 40 build/run-build.log
  echo "The build failed; the whole output is in build/run-build.log."
  exit 1
fi

# The game takes no arguments. With a display it opens its window; without
# one it runs for ten seconds in a virtual display and is then closed as a
# player closes it (the window's close, which saves the settings), or, with
# neither a display nor xvfb-run, or with HV_WINDOW_BACKEND=headless, it runs
# for five seconds without a window and is then ended by a termination
# signal, which the game takes as a close request and saves as well; its last
# frame is then in shot.png.
game=build/sample/lanternfield
stopped() {
  # timeout's code for a program it had to end: the game ran until then.
  local code=$?
  [ "$code" -eq 124 ] && return 0
  return "$code"
}
# Run inside the virtual display: the game, and after ten seconds the
# system's close keys over its window; waits for it to end (and stops it
# should it still run ten seconds later).
close_after_ten_seconds='
  "$1" & game=$!
  sleep 10
  window=$(xdotool search --name "^Lanternfield\$" 2>/dev/null | head -n 1)
  if [ -n "$window" ]; then
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key alt+F4
  fi
  for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$game" 2>/dev/null; then
    echo "The game did not end when its window was closed; stopping it."
    kill "$game"
  fi
  wait "$game"'
if [ "${HV_WINDOW_BACKEND:-}" = headless ]; then
  echo "== running the game without a window for 5 seconds; the last frame goes to shot.png"
  HV_LAST_FRAME=$PWD/shot.png timeout 5 "$game" || stopped
elif [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "== running the game; close its window to end it"
  exec "$game"
elif command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
  echo "== no display: running the game for 10 seconds in a virtual one, then closing its window;" \
       "the last frame goes to shot.png"
  HV_LAST_FRAME=$PWD/shot.png xvfb-run -a bash -c "$close_after_ten_seconds" run "$game"
else
  echo "== no display: running the game without a window for 5 seconds; the last frame goes to shot.png"
  HV_WINDOW_BACKEND=headless HV_LAST_FRAME=$PWD/shot.png timeout 5 "$game" || stopped
fi
