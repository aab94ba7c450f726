#!/usr/bin/env bash
# The game program in a real window: on a virtual X display, once with a
# window manager and once without, a new player types a name, opens the
# options, switches to full screen, closes the dialog and opens it again where
# the screen shows its button, switches back to a window and does the same,
# switches to full screen once more and back by Escape, and closes the
# window, which must leave "NORMALEXIT" 1 in the settings. A
# third run closes the window while a message box the story's script opened
# at load waits for OK, a fourth while one a script opened in play waits:
# the game ends as from any close, and no process of the box outlives it.
# A fifth run has another client destroy the game's window, a sixth does the
# same under a window manager, a seventh ends the display's server under the
# game: each ends the game as its close does. An eighth destroys the window
# before its first show (the window manager, stopped, never maps it), a
# ninth and a tenth end the display's server while a box waits for OK, at
# load (a refused saved story's) and in play (a script's): each ends the
# game within seconds, saved, as its close does. An eleventh has another
# client destroy the window of a box at load: the box's process ends, and
# the game goes on. The run with a window manager also minimises the window
# and brings it back, which is no close.
# After every step the screen (a capture of the root window) must show what
# the game drew last (HV_LAST_FRAME), scaled to where the window shows it; a
# frozen or cropped screen, or a click that lands elsewhere, fails the test.
# The runs go side by side on displays of their own.
#
# The first failure ends the test: the other run is stopped, and the
# programs started are ended (killed when they do not end).
#
# Usage: RealWindowTest.sh [--require-x-tools] GAME_PROGRAM. Exits 77
# (skipped) when the program is not built (a build of a few tests), and when
# the X tools are missing unless --require-x-tools says they must be there
# (the test command installs them): then a missing tool is a failure.
set -uo pipefail

require_tools=no
if [ "${1:-}" = --require-x-tools ]; then
  require_tools=yes
  shift
fi
game=${1:?the game program}
if ! [ -x "$game" ]; then
  echo "skipped: $game is not built here"
  exit 77
fi
for tool in Xvfb openbox xdotool xwininfo xprop import convert compare; do
  if ! command -v "$tool" >/dev/null; then
    if [ "$require_tools" = yes ]; then
      echo "failed: $tool is not installed, and this test must run here" >&2
      exit 1
    fi
    echo "skipped: $tool is not installed"
    exit 77
  fi
done
# How long a program is given to end after it is asked to, in tenths of a
# second, before it is killed.
readonly END_GRACE=50

# The game's screen and the places of the menu's and the options dialog's
# parts on it (data/manifest/dialogs/MainMenu.txt and Options.txt).
readonly GAME_W=800 GAME_H=600
readonly OPTIONS_BUTTON="400 472" CHECK_BOX="314 378" CLOSE_BUTTON="400 417"
readonly RESTING="790 590"            # where the pointer waits between steps
readonly DIALOG="200 150 400 300"     # the options dialog
readonly CHECK="300 364 28 28"        # the check mark
# Pictures are compared at a quarter of the game's size, where scaling
# differences vanish and a check mark still spans a few dozen pixels.
readonly SMALL=200x150 FUZZ=10% STRAY=8
readonly STEP_TIMEOUT=12              # seconds for the screen to follow a step

# ---------------------------------------------------------------------------
# One run on its own display; $1 "wm" with a window manager, "bare" without,
# "box" without and with a box at load, "playbox" likewise with a box on
# the game's first frame, "destroyed" and "lost" without, the window
# destroyed or the display ended once the game draws, "wmdestroyed" the
# window destroyed under a window manager, "firstshow" the window destroyed
# before a stopped window manager maps it, "boxlost" and "playboxlost" the
# display ended while a box waits, at load and in play, "boxgone" the box's
# window destroyed at load; $2 is made once the display is up
# (two servers starting at once may both take the same free number).
run() {
  local mode=$1 up=$2 dir
  dir=$(mktemp -d "${TMPDIR:-/tmp}/hv-realwindow-$mode.XXXXXX")
  local log=$dir/log pids=()
  exec 5>>"$log"

  fail() {
    echo "$mode: $*" >&2
    echo "$mode: pictures and the game's output are in $dir" >&2
    cat "$log" >&2
    exit 1
  }
  # The programs end in the reverse order of their start (the game before
  # its display: a game whose display is gone may never end), each asked
  # first and killed when it does not end in time. A stop that comes
  # meanwhile (the other run failed too) is ignored: the cleanup ended
  # halfway would leave programs running.
  cleanup() {
    local i p t
    trap '' TERM
    for ((i = ${#pids[@]} - 1; i >= 0; --i)); do
      p=${pids[i]}
      kill "$p" 2>/dev/null || continue
      for ((t = 0; t < END_GRACE; ++t)); do
        kill -0 "$p" 2>/dev/null || break
        sleep 0.1
      done
      kill -KILL "$p" 2>/dev/null
      wait "$p" 2>/dev/null
    done
  }
  # Stopped because the other run failed: its output is of no use.
  local stopped=no
  trap 'cleanup; [ "$stopped" = yes ] && rm -rf "$dir"' EXIT
  trap 'stopped=yes; exit 1' TERM

  # The display: Xvfb picks a free number and writes it to fd 3.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>&5 &
  pids+=($!)
  local i
  for ((i = 0; i < 100; ++i)); do
    [ -s "$dir/display" ] && break
    sleep 0.05
  done
  [ -s "$dir/display" ] || fail "Xvfb did not start"
  touch "$up"
  export DISPLAY=:$(cat "$dir/display")
  if [ "$mode" = wm ] || [ "$mode" = wmdestroyed ] || [ "$mode" = firstshow ]; then
    # Its settings and log in the run's own home, not the user's.
    mkdir -p "$dir/home"
    HOME=$dir/home XDG_CONFIG_HOME= XDG_CACHE_HOME= openbox --sm-disable >&5 2>&1 &
    pids+=($!)
    for ((i = 0; i < 100; ++i)); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
      sleep 0.05
    done
    # Stopped, the window manager maps no window: the game's stays unmapped.
    [ "$mode" = firstshow ] && kill -STOP "${pids[1]}"
  fi

  # A player who plays in a window, with settings of their own.
  local config=$dir/home/.config/lanternfield
  mkdir -p "$config"
  printf '%s\n' 'HVREGISTRY 1' 'K ""' 'K "Software"' 'K "Software\Harbinvel"' \
    'K "Software\Harbinvel\Lanternfield"' 'V "NORMALEXIT" 4 x01000000' 'V "FULLSCREEN" 4 x00000000' 'E 6' \
    >"$config/registry.txt"
  if [ "$mode" = boxlost ]; then
    # Ann played last, and her saved story does not run: the load says so
    # in a box.
    local story
    story=$(printf 'this is no story ((' | od -An -tx1 | tr -d ' \n' | tr a-f A-F)
    printf '%s\n' 'HVREGISTRY 1' 'K ""' 'K "Software"' 'K "Software\Harbinvel"' \
      'K "Software\Harbinvel\Lanternfield"' 'V "NORMALEXIT" 4 x01000000' 'V "FULLSCREEN" 4 x00000000' \
      'V "LASTPROFILE" 1 "Ann"' 'K "Software\Harbinvel\Lanternfield\ANN"' 'V "displayName" 1 "Ann"' \
      'K "Software\Harbinvel\Lanternfield\ANN\LF"' "V \"0\" 3 x$story" \
      'K "Software\Harbinvel\Lanternfield\ANN\userdata"' 'V "0" 3 x00000000' 'E 13' >"$config/registry.txt"
  fi
  local frame=$dir/frame.png program=$game
  if [ "$mode" = box ] || [ "$mode" = playbox ] || [ "$mode" = playboxlost ] || [ "$mode" = boxgone ]; then
    # A copy of the game whose story alerts once it has loaded, or on the
    # game's first frame (on the thread that takes the window's events).
    cp -r "$(dirname "$game")" "$dir/game" || fail "the game could not be copied"
    program=$dir/game/$(basename "$game")
    local alert='_ALERT("read me")'
    [ "$mode" = playbox ] || [ "$mode" = playboxlost ] && alert='canvas:setHasLuaAnimations(true)
function canvas:nextFrame() self:setHasLuaAnimations(false) _ALERT("read me") end'
    printf '\nif not alerted then alerted = true %s end\n' "$alert" >>"$dir/game/Lanternfield.lua"
  fi
  if [ "$mode" = lost ] || [ "$mode" = boxlost ] || [ "$mode" = playboxlost ]; then
    # The display's library, meeting the lost connection inside a call,
    # unlocks its display's lock in its error path and again as the call
    # returns; the display is never used after that. The thread checker
    # looks away from that double unlock, and only from that one.
    echo 'mutex:libX11.so.6' >"$dir/tsan.supp"
    export TSAN_OPTIONS=${TSAN_OPTIONS:+$TSAN_OPTIONS:}suppressions=$dir/tsan.supp
  fi
  (cd "$(dirname "$program")" && HOME=$dir/home XDG_CONFIG_HOME= HV_LAST_FRAME=$frame SDL_AUDIODRIVER=dummy \
     exec "$program") >&5 2>&1 &
  local game_pid=$!
  pids+=($game_pid)

  # The window's client area on the screen: x y width height.
  local win=""
  for ((i = 0; i < 200; ++i)); do
    win=$(xdotool search --name '^Lanternfield$' 2>/dev/null | head -n 1)
    [ -n "$win" ] && break
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window opened"
    sleep 0.1
  done
  [ -n "$win" ] || fail "the game's window did not open"
  geometry() {
    xwininfo -id "$win" 2>/dev/null | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
      /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
  }
  # Whether the game ended, and ended as a close does (within ten seconds).
  ended_normally() {
    for ((i = 0; i < 100; ++i)); do
      kill -0 "$game_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the game did not end after its window was closed"
    wait "$game_pid" || fail "the game ended with code $?"
    grep -q '^V "NORMALEXIT" 4 x01000000$' "$config/registry.txt" ||
      fail "the settings do not say the game ended normally: $(cat "$config/registry.txt")"
  }

  if [ "$mode" = firstshow ]; then
    # The window is made, and stays unmapped whatever the game asks.
    [ "$(xwininfo -id "$win" | awk '/Map State/ {print $3}')" = IsUnMapped ] || fail "the window was shown"
    xdotool windowclose "$win"
    kill -CONT "${pids[1]}"
    ended_normally
    rm -rf "$dir"
    exit 0
  fi

  if [ "$mode" = box ] || [ "$mode" = playbox ] || [ "$mode" = boxlost ] || [ "$mode" = playboxlost ] ||
    [ "$mode" = boxgone ]; then
    # The box waits in a process of its own, a child of the thread that
    # shows it; the window's close comes away from the box, or the
    # display's server ends.
    local boxes="" x y w h p
    for ((i = 0; i < 200; ++i)); do
      boxes=$(cat /proc/"$game_pid"/task/*/children 2>/dev/null)
      [ -n "$boxes" ] && break
      sleep 0.1
    done
    [ -n "$boxes" ] || fail "no message box showed"
    pids+=($boxes)
    # Fails unless the boxes' processes end within two seconds.
    boxes_end() {
      for p in $boxes; do
        for ((i = 0; i < 20; ++i)); do
          [ -e /proc/"$p" ] && [ "$(awk '{print $3}' /proc/"$p"/stat 2>/dev/null)" != Z ] || break
          sleep 0.1
        done
        [ -e /proc/"$p" ] && [ "$(awk '{print $3}' /proc/"$p"/stat 2>/dev/null)" != Z ] &&
          fail "the box's process $p outlives $1"
      done
    }
    if [ "$mode" = boxgone ]; then
      # Another client destroys the box's window: the box counts as
      # answered, and the game goes on.
      local box=""
      for ((i = 0; i < 100; ++i)); do
        box=$(xwininfo -root -tree | awk '/"Lua Alert"/ {print $1}')
        [ -n "$box" ] && break
        sleep 0.1
      done
      [ -n "$box" ] || fail "the box's window did not show"
      xdotool windowclose "$box"
      boxes_end "its window"
      kill -0 "$game_pid" 2>/dev/null || fail "the game ended with its box's window"
    fi
    if [ "$mode" = boxlost ] || [ "$mode" = playboxlost ]; then
      kill "${pids[0]}"
    else
      read -r x y w h < <(geometry)
      xdotool mousemove $((x + 20)) $((y + 20)) key alt+F4
    fi
    ended_normally
    boxes_end "the game"
    rm -rf "$dir"
    exit 0
  fi

  if [ "$mode" = destroyed ] || [ "$mode" = wmdestroyed ] || [ "$mode" = lost ]; then
    for ((i = 0; i < 200; ++i)); do
      [ -s "$frame" ] && break
      sleep 0.1
    done
    if [ "$mode" != lost ]; then
      xdotool windowclose "$win"
    else
      kill "${pids[0]}"
    fi
    ended_normally
    rm -rf "$dir"
    exit 0
  fi

  # Where the game's picture lies on the screen (scaled to fit the window,
  # centred): x y width height.
  picture() {
    local x y w h pw ph
    read -r x y w h < <(geometry)
    if ((w * GAME_H <= h * GAME_W)); then
      pw=$w
      ph=$((GAME_H * w / GAME_W))
    else
      ph=$h
      pw=$((GAME_W * h / GAME_H))
    fi
    echo $((x + (w - pw) / 2)) $((y + (h - ph) / 2)) "$pw" "$ph"
  }

  # Pixels of two pictures of the game's size that differ inside a region
  # (x y w h, game coordinates), compared at a quarter of the size.
  differing() {
    local a=$1 b=$2 crop="$(($5 / 4))x$(($6 / 4))+$(($3 / 4))+$(($4 / 4))"
    convert "$a" -scale "$SMALL!" -crop "$crop" +repage "$dir/a.png" &&
      convert "$b" -scale "$SMALL!" -crop "$crop" +repage "$dir/b.png" &&
      compare -metric AE -fuzz "$FUZZ" "$dir/a.png" "$dir/b.png" null: 2>&1 | cut -d' ' -f1
  }
  # Whether a region of two pictures is the same (STRAY pixels allowed for
  # scaling), or clearly differs (a tenth of it).
  same() { (($(differing "$@") <= STRAY)); }
  differs() { (($(differing "$@") * 10 >= ($5 / 4) * ($6 / 4))); }

  # Waits until the screen shows the game's newest picture (one written
  # after the step began), then keeps that picture as $dir/$1.png and the
  # screen's part where the window shows it as $dir/$1-screen.png.
  local step_start
  settle() {
    local name=$1 deadline=$((SECONDS + STEP_TIMEOUT)) px py pw ph
    while ((SECONDS < deadline)); do
      sleep 0.3
      [ -f "$frame" ] && [ "$frame" -nt "$step_start" ] || continue
      read -r px py pw ph < <(picture)
      import -window root "$dir/$name-whole-screen.png" 2>&5 || continue
      # A picture shown is on disk within a second: the one there then is
      # what the screen should show.
      sleep 1.1
      cp "$frame" "$dir/$name.png"
      convert "$dir/$name-whole-screen.png" -crop "${pw}x${ph}+${px}+${py}" +repage \
        -resize "${GAME_W}x${GAME_H}!" "$dir/$name-screen.png" || continue
      same "$dir/$name.png" "$dir/$name-screen.png" 0 0 $GAME_W $GAME_H && return 0
    done
    fail "after '$name' the screen does not show the game's picture (compare $name.png with $name-screen.png)"
  }
  begin() { touch "$dir/step"; step_start=$dir/step; sleep 0.05; }
  # Clicks a point of the game's picture where the screen shows it, then
  # rests the pointer in a corner, so that its sprite does not hide anything.
  # The pointer moves to its rest twice: a click on the full-screen box
  # changes the window, and a move made while it changes may never reach
  # the game, which would keep drawing the pointer over the click.
  click() {
    local px py pw ph
    read -r px py pw ph < <(picture)
    xdotool mousemove $((px + $1 * pw / GAME_W)) $((py + $2 * ph / GAME_H)) click 1
    sleep 0.2
    set -- $RESTING
    xdotool mousemove $((px + $1 * pw / GAME_W)) $((py + $2 * ph / GAME_H))
    sleep 0.3
    read -r px py pw ph < <(picture)
    xdotool mousemove $((px + $1 * pw / GAME_W + 1)) $((py + $2 * ph / GAME_H)) \
      mousemove $((px + $1 * pw / GAME_W)) $((py + $2 * ph / GAME_H))
  }
  fullscreen_expected() {
    local x y w h
    read -r x y w h < <(geometry)
    [ "$mode" = bare ] && return 0 # nobody changes the window's size there
    if [ "$1" = yes ]; then
      ((w == 1024 && h == 768)) || fail "the window is ${w}x${h} in full screen"
    else
      ((w == GAME_W && h == GAME_H)) || fail "the window is ${w}x${h} in a window"
    fi
  }

  # Closes the options dialog (the menu shows again) and opens it where the
  # screen shows its button (the dialog as $1.png showed it comes back).
  close_and_reopen() {
    begin; click $CLOSE_BUTTON; settle "$1-closed"
    same "$dir/menu.png" "$dir/$1-closed.png" $DIALOG || fail "Close ($1) did not close the dialog"
    begin; click $OPTIONS_BUTTON; settle "$1-options"
    same "$dir/$1.png" "$dir/$1-options.png" $DIALOG || fail "Options ($1) did not open its dialog"
  }

  # The name dialog takes the new player's name; the menu shows it.
  step_start=$dir/display
  settle start
  begin
  xdotool mousemove 512 384 type --delay 40 Tess
  xdotool key Return
  click $RESTING
  settle menu

  # The options dialog opens over the menu.
  begin; click $OPTIONS_BUTTON; settle options
  differs "$dir/menu.png" "$dir/options.png" $DIALOG || fail "Options did not open the options dialog"

  # Full screen: the check mark shows, the screen follows.
  begin; click $CHECK_BOX; settle full
  fullscreen_expected yes
  differs "$dir/options.png" "$dir/full.png" $CHECK || fail "no check mark in full screen"
  close_and_reopen full

  # Back to a window: no check mark, the screen follows.
  begin; click $CHECK_BOX; settle window
  fullscreen_expected no
  same "$dir/options.png" "$dir/window.png" $CHECK || fail "the check mark stays in a window"
  close_and_reopen window

  # Full screen once more, and back to a window by Escape.
  begin; click $CHECK_BOX; settle full-again
  fullscreen_expected yes
  begin; xdotool key Escape; settle escaped
  fullscreen_expected no

  # Minimised (the window manager unmaps the window) and back: no close.
  if [ "$mode" = wm ]; then
    begin
    xdotool windowminimize --sync "$win"
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended when its window was minimised"
    xdotool windowactivate --sync "$win"
    settle restored
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended when its window was minimised"
  fi

  # The window's close: its button in the title bar, or without a window
  # manager the system's close keys.
  local x y w h
  read -r x y w h < <(geometry)
  if [ "$mode" = wm ]; then
    xdotool mousemove $((x + w - 10)) $((y - 10)) click 1
  else
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) key alt+F4
  fi
  ended_normally
  rm -rf "$dir"
}

up=$(mktemp -d "${TMPDIR:-/tmp}/hv-realwindow.XXXXXX")
# In a sanitizer build the leak checker looks away from leaks inside the
# system's own libraries, which the game calls but cannot mend: libdbus (SDL
# talks to the session bus on X) keeps a block.
printf 'leak:libdbus-1.so\n' >"$up/lsan.supp"
export LSAN_OPTIONS="suppressions=$up/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# Each run starts once the display of the one before is up.
running=()
for mode in wm bare box playbox destroyed wmdestroyed lost firstshow boxlost playboxlost boxgone; do
  run "$mode" "$up/$mode" &
  running+=($!)
  for ((i = 0; i < 100; ++i)); do
    [ -e "$up/$mode" ] && break
    sleep 0.05
  done
done
# The first run to fail stops the others.
status=0
while ((${#running[@]})); do
  ended=
  wait -n -p ended "${running[@]}"
  code=$?
  [ -n "$ended" ] || { status=1; break; }
  left=()
  for p in "${running[@]}"; do [ "$p" = "$ended" ] || left+=("$p"); done
  running=("${left[@]}")
  if ((code != 0)); then
    status=1
    ((${#running[@]})) && kill "${running[@]}" 2>/dev/null
    wait "${running[@]}" 2>/dev/null
    break
  fi
done
rm -rf "$up"
[ "$status" -eq 0 ] && echo "every run passed"
exit "$status"
