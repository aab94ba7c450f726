#!/usr/bin/env bash
# The player tool (hvplay) refuses, with status 2 and a line saying why, what
# it would otherwise ignore: an output it does not know (once taken for
# waveOut), --wav with several files (each once written over the one before)
# and --stream or --loop for a module (which plays only through the music
# player); none of them writes a file. Without a sound device (SDL's audio
# driver set to one that does not exist, so no device of the machine is
# opened) the engine does not start, and the line says --output none plays
# without one.
#
# Usage: PlayerToolTest.sh HVPLAY_PROGRAM. Runs in a temporary folder of its
# own, removed at the end.
set -uo pipefail

player=${1:?the player tool}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
# Each run is quick: processor time is bounded, a hang is left to ctest.
ulimit -t 60

failures=0
# expect STATUS TEXT ARGUMENTS...: runs the tool and checks its status, that
# standard error holds TEXT, and that no file appeared in the folder.
expect() {
  local status=$1 text=$2; shift 2
  local got
  SDL_AUDIODRIVER=hv-no-such-driver "$player" "$@" >out.txt 2>err.txt
  got=$?
  if [ "$got" -ne "$status" ] || ! grep -qF -- "$text" err.txt; then
    echo "FAILED: hvplay $*: status $got (expected $status), standard error:"
    cat err.txt
    echo "(expected it to hold: $text)"
    failures=$((failures + 1))
  fi
  local made
  made=$(ls | grep -vx 'out.txt\|err.txt')
  if [ -n "$made" ]; then
    echo "FAILED: hvplay $*: wrote $made"
    rm -f $made
    failures=$((failures + 1))
  fi
}

expect 2 "--output speakers: no such output (winmm, dsound or none)" --output speakers tone.wav
expect 2 "--wav writes one file: give it one sound file" --no-play --wav mix.wav one.s3m two.s3m
expect 2 "--wav writes one file: give it one sound file" --wav pcm.wav one.wav two.ogg
expect 2 "song.s3m is a module: --stream and --loop are for sound files only" --stream song.s3m
expect 2 "song.s3m is a module: --stream and --loop are for sound files only" --stream --loop tone.ogg song.s3m
expect 2 "--loop loops a stream: give it with --stream" --loop song.s3m
expect 1 "the sound engine did not start (error 3); without a sound device, --output none plays silently" \
  tone.wav

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
