#!/usr/bin/env bash
# The real-window test's own rules, with stand-ins for the game: a missing X
# tool skips it, or fails it where the tools must be there; and its first
# failure ends it at once, the other run stopped and every program it started
# ended, even a game that will not end when asked (a hang until the time
# limit otherwise).
#
# Usage: RealWindowScriptTest.sh [--require-x-tools] REAL_WINDOW_TEST
# GAME_PROGRAM. Runs where the real-window test does: exits 77 (skipped) when
# the game is not built here, and for the second part when the X tools are
# missing, unless they are required.
set -uo pipefail

require=()
if [ "${1:-}" = --require-x-tools ]; then
  require=(--require-x-tools)
  shift
fi
script=${1:?the real-window test}
if ! [ -x "${2:?the game program}" ]; then
  echo "skipped: $2 is not built here"
  exit 77
fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/hv-realwindow-check.XXXXXX")
trap 'rm -rf "$dir"' EXIT
# The test's runs keep their folders (those of failed runs stay) in this
# test's own.
mkdir "$dir/tmp"
failed=0
problem() {
  echo "$*" >&2
  failed=1
}
source "$(dirname "${BASH_SOURCE[0]}")/MachinePace.sh"
# paced_run LIMIT COMMAND...: runs COMMAND in a session of its own, which is
# killed whole, its status then 124, once LIMIT seconds have counted at the
# machine's pace (a hang: the runs end in seconds); waited says how long it
# took.
paced_run() {
  local limit=$1 child
  shift
  setsid "$@" &
  child=$!
  begin_wait "$limit"
  while kill -0 "$child" 2>/dev/null; do
    if ! within; then
      kill -KILL -- "-$child" 2>/dev/null
      wait "$child"
      return 124
    fi
    sleep 0.1
  done
  wait "$child"
}

# A game that plays no part: a stand-in program, in a folder of its own as
# the game's (the runs with a box copy the game's folder).
mkdir "$dir/bin"
printf '#!/bin/sh\nexit 0\n' >"$dir/bin/game"
chmod +x "$dir/bin/game"

# 1. Every tool there but "compare": skipped, or failed when required.
mkdir "$dir/tools"
for tool in Xvfb openbox xdotool xwininfo xprop import convert; do
  ln -s "$dir/bin/game" "$dir/tools/$tool"
done
bash=$(command -v bash)
PATH=$dir/tools TMPDIR=$dir/tmp "$bash" "$script" "$dir/bin/game" >"$dir/out" 2>&1
code=$?
[ "$code" -eq 77 ] || problem "a missing tool: exit $code, not 77 (skipped): $(cat "$dir/out")"
PATH=$dir/tools TMPDIR=$dir/tmp "$bash" "$script" --require-x-tools "$dir/bin/game" >"$dir/out" 2>&1
code=$?
[ "$code" -eq 1 ] && grep -q 'compare is not installed' "$dir/out" ||
  problem "a missing tool that is required: exit $code, not 1: $(cat "$dir/out")"

# 2. Both runs fail at once, on displays and a window manager that are slow
# to end (stand-ins that ignore the request): the run that fails second is
# still ending its programs when the first stops it, and ends them all.
mkdir "$dir/slow"
cat >"$dir/slow/Xvfb" <<EOF
#!/bin/sh
case \${0##*/} in
Xvfb) echo 99 >&3 ;;
openbox) ;;
xprop) echo '_NET_SUPPORTING_WM_CHECK(WINDOW): window id # 0x1'; exit 0 ;;
*) exit 1 ;;
esac
echo \$\$ >>"$dir/slow.pids"
trap '' TERM
exec sleep 600
EOF
chmod +x "$dir/slow/Xvfb"
for tool in openbox xdotool xwininfo xprop import convert compare; do
  ln -s "$dir/slow/Xvfb" "$dir/slow/$tool"
done
PATH=$dir/slow:$PATH TMPDIR=$dir/tmp paced_run 240 "$bash" "$script" "$dir/bin/game" >"$dir/out" 2>&1
code=$?
[ "$code" -eq 1 ] || problem "two failing runs: exit $code, not 1 (124: it hung), $(waited): $(cat "$dir/out")"
for p in $(cat "$dir/slow.pids" 2>/dev/null); do
  if kill -0 "$p" 2>/dev/null; then
    problem "a program of a failed run still runs"
    kill -KILL "$p"
  fi
done

# 3. A game that ends at once beside a window manager, and that ignores the
# request to end without one: the first run fails, the other is stopped, and
# the stubborn game is killed.
for tool in Xvfb openbox xdotool xprop; do
  command -v "$tool" >/dev/null && continue
  if [ ${#require[@]} -gt 0 ]; then
    problem "$tool is not installed, and this test must run here"
  elif [ "$failed" -eq 0 ]; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
  exit 1
done
# Beside the window manager it ends (once the other has started); without
# one it starts and ignores the request to end.
cat >"$dir/bin/stubborn" <<EOF
#!/bin/sh
if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  while [ ! -s "$dir/stubborn.pid" ]; do sleep 0.1; done
  exit 3
fi
echo \$\$ >"$dir/stubborn.pid"
trap '' TERM
exec sleep 600
EOF
chmod +x "$dir/bin/stubborn"
TMPDIR=$dir/tmp paced_run 240 "$bash" "$script" "${require[@]}" "$dir/bin/stubborn" >"$dir/out" 2>&1
code=$?
[ "$code" -eq 1 ] || problem "a failing run: exit $code, not 1 (124: it hung), $(waited): $(cat "$dir/out")"
grep -q '^wm: the game ended before its window opened' "$dir/out" ||
  problem "the first failure is not told: $(cat "$dir/out")"
# It ends within 20 seconds at the machine's pace (the stubborn game is
# killed after five), well before a run's own limits stop it.
((wait_counted < 20 * 1000000)) || problem "the test ended $(waited), 20 s allowed"
if [ -s "$dir/stubborn.pid" ] && kill -0 "$(cat "$dir/stubborn.pid")" 2>/dev/null; then
  problem "the game that ignored the request to end still runs"
  kill -KILL "$(cat "$dir/stubborn.pid")"
fi
[ "$failed" -eq 0 ] && echo "the real-window test skips, fails and ends as it should"
exit "$failed"
