#!/usr/bin/env bash
# Installs what is missing, builds the engine and its sample data, and runs
# the sample: a loading screen with its bar, then the canvas.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

# The game's entry is not built yet: the sample program starts the sample
# data (build/sample) the way the game will start its own. With a display it
# opens the window; without one it runs for ten seconds in a virtual display
# (or, with neither a display nor xvfb-run, or with HV_WINDOW_BACKEND=headless,
# without a window) and writes the last frame to shot.png.
sample=build/sample/hvsample
if [ "${HV_WINDOW_BACKEND:-}" = headless ]; then
  exec "$sample" --seconds 5 --shot shot.png "$@"
elif [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$sample" "$@"
elif command -v xvfb-run >/dev/null; then
  exec xvfb-run -a "$sample" --seconds 10 --shot shot.png "$@"
else
  HV_WINDOW_BACKEND=headless exec "$sample" --seconds 5 --shot shot.png "$@"
fi
