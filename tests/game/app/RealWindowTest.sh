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
# and brings it back, which is no close. A twelfth, under a window manager,
# minimises the game's window and brings it back over and over while the
# game loads: the load goes on to the menu, and the game closes as ever.
# Four more play a player who played before. Three freeze the display's
# server (stopped) while the game's window thread is in one kind of call into
# the display each: drawing a picture (the game draws all the time), taking
# the events of the pointer crossing the window, and destroying the window
# at the close (the game at rest until then); a quit signal then ends the
# game within seconds, the player's story saved, with code 0: the close is
# made without the thread the server holds. The fourth ends the server while
# the pointer crosses the window, the display library holding a backlog of
# its events: the game ends as its close does, the story saved.
# After every step the screen (a capture of the root window) must show what
# the game drew last (HV_LAST_FRAME), scaled to where the window shows it; a
# frozen or cropped screen, or a click that lands elsewhere, fails the test.
# Each step first waits for the state it acts on (the window shown, the menu
# drawn after the loading screen, the dialog open, the box shown), within a
# limit that stretches with the machine's pace; once the menu has shown, a
# picture of anything else fails the run at once. The runs go side by side on
# displays of their own.
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
readonly PROMPT="240 210 320 180"     # the new player's name prompt, centred (ProfileInputPrompt.txt)
readonly SCREEN_TOP="0 0 800 100"     # the loading screen's plain top, above its logo and bar
readonly MENU_EXIT="300 536 200 44"    # the menu's "Exit" button, which no step covers
# Pictures are compared at a quarter of the game's size, where scaling
# differences vanish and a check mark still spans a few dozen pixels.
readonly SMALL=200x150 FUZZ=10% STRAY=8
# How alike two pictures of the menu's Exit button are at least, lit or
# dimmed under a dialog (their normalised cross-correlation; any other
# picture there is near 0).
readonly MENU_ALIKE=0.9

# Limits, in seconds of an otherwise idle machine (a few times what the
# slowest build, under the thread checker, needs there); see within().
readonly START_LIMIT=15               # an X server or the window manager to start
readonly SHOW_LIMIT=40                # the game's window to show, its first picture, a box
readonly LOAD_LIMIT=60                # the loading screen to give way to the menu
readonly STEP_LIMIT=20                # the screen to follow a step
readonly END_LIMIT=20                 # the game to end once its window is closed

# ---------------------------------------------------------------------------
# Waiting. A wait counts time at the pace the machine gives a program
# (begin_wait, within and waited); a run waits for one thing at a time.
source "$(dirname "${BASH_SOURCE[0]}")/MachinePace.sh"

# wait_for LIMIT WHAT COMMAND...: runs COMMAND every tenth of a second until
# it succeeds; fails the run with WHAT (and the reason COMMAND left in $why)
# when LIMIT seconds have counted first.
wait_for() {
  local limit=$1 what=$2
  shift 2
  why=
  # A step that hangs in a tool's call never reaches its limit: what it
  # waits for is left in the run's folder for whoever finds it there (not in
  # the step's start mark, whose time says which pictures came after it).
  echo "$what" >"$dir/waiting"
  begin_wait "$limit"
  until "$@"; do
    within || fail "$what${why:+ ($why)}, $(waited)"
    sleep 0.1
  done
}

# ---------------------------------------------------------------------------
# The parts of a run. They use the run's own variables: its folder $dir, the
# output of its programs in $log (fd 5), the processes it started ($pids,
# ended in reverse order at its end), and once the game runs $game_pid,
# its picture $frame, its settings $config and its window $win.

# Whether process $1 is still one this run started: a child of the run, or
# a process of the game program (a box's); a number that ended may be
# another process's by now.
ours() {
  local stat exe
  stat=$(cat /proc/"$1"/stat 2>/dev/null) || return 1
  stat=${stat##*) }
  set -- "$1" $stat
  [ "$2" != Z ] || return 1
  [ "$3" = "$BASHPID" ] && return 0
  exe=$(readlink /proc/"$1"/exe 2>/dev/null) && [ "$exe" = "$(readlink -f "$program")" ]
}

# The display: an X server of the run's own, 1024 x 768. With -displayfd
# the server takes the first number whose socket no other server holds
# (binding it, so two never share one) and writes it once it takes
# clients; -noreset keeps it from resetting when its last client leaves,
# which drops a client that connects meanwhile (the test's tools come and
# go all the time); -r turns the keys' repeat off, so that a key a busy
# machine keeps the test's tool from letting go of in time is pressed once.
# It listens on an abstract socket only, with no lock file, so that nothing
# of it is made on disk outside the run's folder (a server killed would
# leave its socket and lock in the system's temporary folder). Its own
# output, probes of taken numbers included, goes to xvfb.log.
start_display() {
  Xvfb -displayfd 3 -noreset -r -screen 0 1024x768x24 -nolisten tcp -nolisten unix -nolock 3>"$dir/display" \
    2>>"$dir/xvfb.log" &
  local server=$!
  pids+=($server)
  display_up() {
    [ -s "$dir/display" ] && return 0
    ours "$server" || fail "the X server ended at its start: $(tail -n 5 "$dir/xvfb.log")"
    return 1
  }
  wait_for "$START_LIMIT" "the X server did not start" display_up
  export DISPLAY=:$(cat "$dir/display")
}

# The window manager, with its settings and log in the run's own home.
start_window_manager() {
  mkdir -p "$dir/home"
  HOME=$dir/home XDG_CONFIG_HOME= XDG_CACHE_HOME= openbox --sm-disable >&5 2>&1 &
  local manager=$!
  pids+=($manager)
  managing() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    ours "$manager" || fail "the window manager ended at its start"
    return 1
  }
  wait_for "$START_LIMIT" "the window manager did not start" managing
}

# Stops the window manager where it holds no grab of the server. As it
# starts it grabs the server while it takes over the windows already there;
# stopped then, it would keep every other client, the game and the test's
# tools, waiting for good. A round trip of another client that comes back
# shows that the stopped manager holds no grab; one that does not lets the
# manager go on a little before it is stopped again.
stop_window_manager() {
  local manager=${pids[1]}
  stopped_ungrabbed() {
    kill -STOP "$manager"
    timeout "$(paced 5)" xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && return 0
    kill -CONT "$manager"
    why="the server stayed grabbed"
    return 1
  }
  wait_for "$START_LIMIT" "the window manager could not be stopped" stopped_ungrabbed
}

# Starts the game program $program in its folder, with the run's settings,
# its picture kept in $frame and no sound device.
start_game() {
  (cd "$(dirname "$program")" && HOME=$dir/home XDG_CONFIG_HOME= HV_LAST_FRAME=$frame SDL_AUDIODRIVER=dummy \
     exec "$program") >&5 2>&1 &
  game_pid=$!
  pids+=($game_pid)
}

# Keeps the game's first picture, its loading screen, as $dir/first.png
# once it is on disk. (The first picture is written as soon as it is shown,
# the next a second later at the earliest: the waits for the window and for
# the first picture look for it every tenth of a second.)
keep_first_picture() {
  [ -s "$dir/first.png" ] || { [ -s "$frame" ] && cp "$frame" "$dir/first.png"; }
}

# Waits until the game's window is made ($1 "made": shown or not) or shows
# ("shown": mapped and viewable); keeps it in $win.
wait_window() {
  local state=$1 visible=--onlyvisible event=opened
  [ "$state" = made ] && visible= event="was made"
  window_there() {
    keep_first_picture
    win=$(xdotool search $visible --name '^Lanternfield$' 2>/dev/null | head -n 1)
    [ -n "$win" ] && return 0
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window $event"
    return 1
  }
  wait_for "$SHOW_LIMIT" "the game's window did not show" window_there
}

# Waits until the game has drawn its first picture.
wait_first_picture() {
  first_picture() {
    keep_first_picture && [ -s "$dir/first.png" ] && return 0
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before it drew"
    return 1
  }
  wait_for "$SHOW_LIMIT" "the game drew nothing" first_picture
}

# Waits until a message box shows beside the game's window (a window of
# its own); keeps the processes that show boxes, children of the game's
# threads, in $boxes.
wait_box_shown() {
  box_shown() {
    local w
    boxes=$(cat /proc/"$game_pid"/task/*/children 2>/dev/null)
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its box showed"
    [ -n "$boxes" ] || return 1
    for w in $(xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null); do
      [ "$w" != "$win" ] && return 0
    done
    return 1
  }
  wait_for "$SHOW_LIMIT" "no message box showed" box_shown
  pids+=($boxes)
}

# Waits until the game's window has the keyboard's focus under a window
# manager, which gives it to a new window (without one the focus follows
# the pointer, which the steps move into the window).
wait_focused() {
  [ "$mode" = wm ] || [ "$mode" = wmdestroyed ] || return 0
  focused() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ]; }
  wait_for "$STEP_LIMIT" "the game's window did not take the focus" focused
}

# The window's client area on the screen: x y width height.
geometry() {
  xwininfo -id "$win" 2>/dev/null | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
}

# Waits until every box's process in $boxes has ended (or is a zombie);
# fails saying that one outlives $1.
boxes_end() {
  local p
  box_ended() {
    [ -e /proc/"$p" ] && [ "$(awk '{print $3}' /proc/"$p"/stat 2>/dev/null)" != Z ] && return 1
    return 0
  }
  for p in $boxes; do
    wait_for 2 "the box's process $p outlives $1" box_ended
  done
}

# Whether the game's window thread (its first) waits for the display's
# server: asleep in its poll of the connection, as a call does that waits
# for the server's answer.
waits_for_server() { grep -q poll /proc/"$game_pid"/wchan 2>/dev/null; }

# Moves the pointer across the left edge of the game's window and back,
# over and over, until the display ends or the run kills it: the game takes
# an event each time the pointer enters or leaves, besides its motion.
# Returns once the pointer goes.
cross_window_edge() {
  local x y w h i
  read -r x y w h < <(geometry)
  for ((i = 0; i < 4000; ++i)); do
    echo "mousemove $((x - 20 + i % 2 * 40)) $((y + h / 2 + i % 7))"
  done | xdotool - >&5 2>&1 &
  pids+=($!)
  crossing() {
    local at
    at=$(xdotool getmouselocation 2>/dev/null) || return 1
    [[ $at =~ x:$((x - 20))\  || $at =~ x:$((x + 20))\  ]]
  }
  wait_for "$STEP_LIMIT" "the pointer did not move" crossing
}

# Waits until the game has ended after its window was closed, with code 0
# and its settings saying it ended normally.
ended_normally() {
  wait_for "$END_LIMIT" "the game did not end after its window was closed" \
    eval '! kill -0 "$game_pid" 2>/dev/null'
  wait "$game_pid" || fail "the game ended with code $?"
  grep -q '^V "NORMALEXIT" 4 x01000000$' "$config/registry.txt" ||
    fail "the settings do not say the game ended normally: $(cat "$config/registry.txt")"
}

# Fails unless the settings hold Ann's story, which only the game's exit
# save writes.
story_saved() {
  grep -A1 '^K "Software\\Harbinvel\\Lanternfield\\ANN\\LF"$' "$config/registry.txt" | grep -q '^V "0" 3 x' ||
    fail "the settings do not hold Ann's story: $(cat "$config/registry.txt")"
}

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

# compared METRIC A B X Y W H [OPTION...]: compare's measure of two
# pictures of the game's size inside a region (game coordinates), at a
# quarter of the size.
compared() {
  local metric=$1 a=$2 b=$3 crop="$(($6 / 4))x$(($7 / 4))+$(($4 / 4))+$(($5 / 4))"
  convert "$a" -scale "$SMALL!" -crop "$crop" +repage "$dir/a.png" &&
    convert "$b" -scale "$SMALL!" -crop "$crop" +repage "$dir/b.png" &&
    compare -metric "$metric" "${@:8}" "$dir/a.png" "$dir/b.png" null: 2>&1 | cut -d' ' -f1
}
# Pixels of two pictures that differ inside a region.
differing() { compared AE "$@" -fuzz "$FUZZ"; }
# Fails unless a picture of the game ($1) still shows the menu start.png
# showed, its Exit button lit or dimmed under a dialog: the steps act on
# the menu alone, and one that left it (the story begun) would wait in
# vain. A picture that cannot be read is read again.
still_in_menu() {
  local alike
  alike=$(compared NCC "$dir/start.png" "$1" $MENU_EXIT)
  [[ $alike =~ ^[0-9.]+$ ]] || return 0
  awk -v n="$alike" -v least="$MENU_ALIKE" 'BEGIN { exit !(n >= least) }' ||
    fail "the game no longer shows its menu after '$name' began (compare $(basename "$1") with start.png), $(waited)"
}
# Whether a region of two pictures is the same (STRAY pixels allowed for
# scaling), or clearly differs (a tenth of it).
# (compare's status says whether the pictures differ: only its count, a
# number when both pictures were read, is used.)
same() {
  local n
  n=$(differing "$@")
  [[ $n =~ ^[0-9]+$ ]] && ((n <= STRAY))
}
differs() {
  local n
  n=$(differing "$@")
  [[ $n =~ ^[0-9]+$ ]] && ((n * 10 >= ($5 / 4) * ($6 / 4)))
}

# settle_within LIMIT NAME WHY [TEST REFERENCE X Y W H]: waits until the
# game's newest picture, one written after the step began, passes TEST
# (same or differs) against REFERENCE in the region, and the screen shows
# that picture where the window shows it; keeps the picture as
# $dir/NAME.png and the screen's part as $dir/NAME-screen.png. Fails with
# WHY when the game's picture never passes, or says the screen does not
# show it.
settle_within() {
  local limit=$1 name=$2 why=$3 px py pw ph problem
  shift 3
  problem="no picture from the game after '$name' began"
  shows_state() { [ $# -eq 0 ] || "$1" "$2" "$dir/$name.png" "${@:3}"; }
  begin_wait "$limit"
  while within; do
    sleep 0.3
    [ -f "$frame" ] && [ "$frame" -nt "$step_start" ] || continue
    cp "$frame" "$dir/$name.png" || continue
    [ -z "$menu_seen" ] || still_in_menu "$dir/$name.png"
    problem=$why
    shows_state "$@" || continue
    read -r px py pw ph < <(picture)
    import -window root "$dir/$name-whole-screen.png" 2>&5 || continue
    # A picture shown is on disk within a second: the one there then is
    # what the screen should show.
    sleep 1.1
    cp "$frame" "$dir/$name.png"
    shows_state "$@" || continue
    problem="after '$name' the screen does not show the game's picture (compare $name.png with $name-screen.png)"
    convert "$dir/$name-whole-screen.png" -crop "${pw}x${ph}+${px}+${py}" +repage \
      -resize "${GAME_W}x${GAME_H}!" "$dir/$name-screen.png" || continue
    same "$dir/$name.png" "$dir/$name-screen.png" 0 0 $GAME_W $GAME_H && return 0
  done
  fail "$problem, $(waited)"
}
settle() { settle_within "$STEP_LIMIT" "$@"; }
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

# Waits until the window has the size of full screen ($1 yes) or of the
# game's picture (no). Without a window manager nobody changes its size.
wait_fullscreen() {
  [ "$mode" = bare ] && return 0
  local want="$GAME_W $GAME_H" state="in a window"
  [ "$1" = yes ] && want="1024 768" state="in full screen"
  sized() {
    local x y w h
    read -r x y w h < <(geometry)
    why="it is ${w}x${h}"
    [ "$w $h" = "$want" ]
  }
  wait_for "$STEP_LIMIT" "the window did not take its size $state" sized
}

# ---------------------------------------------------------------------------
# One run on its own display; $1 "wm" with a window manager, "bare" without,
# "box" without and with a box at load, "playbox" likewise with a box on
# the game's first frame, "destroyed" and "lost" without, the window
# destroyed or the display ended once the game draws, "wmdestroyed" the
# window destroyed under a window manager, "firstshow" the window destroyed
# before a stopped window manager maps it, "boxlost" and "playboxlost" the
# display ended while a box waits, at load and in play, "boxgone" the box's
# window destroyed at load, "loadminimised" the window minimised and brought
# back under a window manager while the game loads, "frozendraw",
# "frozenmotion" and "frozenrest" the display's server frozen while the game
# draws, while it takes the pointer's events and while it rests, "lostmotion"
# the server ended while the pointer moves; $2 is made once the display is
# up, and the next run starts then; "failed" beside it once the run fails,
# and no run starts any more.
run() {
  local mode=$1 up=$2 dir
  dir=$(mktemp -d "${TMPDIR:-/tmp}/hv-realwindow-$mode.XXXXXX")
  local log=$dir/log pids=() game_pid= win= boxes= why= step_start= menu_seen=
  local wait_limit wait_counted wait_began wait_last wait_top_load
  exec 5>>"$log"

  fail() {
    touch "${up%/*}/failed"
    echo "$mode: $*" >&2
    echo "$mode: pictures and the game's output are in $dir (the X server's in xvfb.log)" >&2
    cat "$log" >&2
    exit 1
  }
  # The programs end in the reverse order of their start (the game before
  # its display: a game whose display is gone may never end), each asked
  # first and killed when it does not end in time. A stop that comes
  # meanwhile (the other run failed too) is ignored: the cleanup ended
  # halfway would leave programs running. The run's folder goes once its
  # programs have ended (a window manager writes its log as it ends), unless
  # the run failed.
  local outcome=failed
  cleanup() {
    local i p t
    trap '' TERM
    for ((i = ${#pids[@]} - 1; i >= 0; --i)); do
      p=${pids[i]}
      ours "$p" || continue
      kill "$p" 2>/dev/null || continue
      for ((t = 0; t < END_GRACE; ++t)); do
        ours "$p" || break
        sleep 0.1
      done
      ours "$p" && kill -KILL "$p" 2>/dev/null
      wait "$p" 2>/dev/null
    done
    [ "$outcome" = failed ] || rm -rf "$dir"
  }
  trap cleanup EXIT
  # Stopped because another run failed: its output is of no use.
  trap 'outcome=stopped; exit 1' TERM

  start_display
  touch "$up"
  if [ "$mode" = wm ] || [ "$mode" = wmdestroyed ] || [ "$mode" = firstshow ] || [ "$mode" = loadminimised ]; then
    start_window_manager
    # Stopped, the window manager maps no window: the game's stays unmapped.
    [ "$mode" = firstshow ] && stop_window_manager
  fi

  # A player who plays in a window, with settings of their own.
  config=$dir/home/.config/lanternfield
  mkdir -p "$config"
  printf '%s\n' 'HVREGISTRY 1' 'K ""' 'K "Software"' 'K "Software\Harbinvel"' \
    'K "Software\Harbinvel\Lanternfield"' 'V "NORMALEXIT" 4 x01000000' 'V "FULLSCREEN" 4 x00000000' 'E 6' \
    >"$config/registry.txt"
  if [[ $mode = frozen* ]] || [ "$mode" = lostmotion ]; then
    # Ann played last: the game saves her story as it ends.
    printf '%s\n' 'HVREGISTRY 1' 'K ""' 'K "Software"' 'K "Software\Harbinvel"' \
      'K "Software\Harbinvel\Lanternfield"' 'V "NORMALEXIT" 4 x01000000' 'V "FULLSCREEN" 4 x00000000' \
      'V "LASTPROFILE" 1 "Ann"' 'K "Software\Harbinvel\Lanternfield\ANN"' 'V "displayName" 1 "Ann"' 'E 9' \
      >"$config/registry.txt"
  fi
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
  frame=$dir/frame.png program=$game
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
  if [ "$mode" = frozendraw ]; then
    # A copy of the game that, once loaded, shows and hides a button at each
    # of its frames, and so draws a new picture each time.
    cp -r "$(dirname "$game")" "$dir/game" || fail "the game could not be copied"
    program=$dir/game/$(basename "$game")
    printf '\n%s\n' "canvas:setHasLuaAnimations(true) function canvas:nextFrame() if not blinking then" \
      "blinking = true io.stderr:write('blinking\\n') end blink = not blink self:sprite('Quit'):show(blink) end" \
      >>"$dir/game/Lanternfield.lua"
  fi
  if [ "$mode" = lost ] || [ "$mode" = boxlost ] || [ "$mode" = playboxlost ] || [ "$mode" = lostmotion ]; then
    # The display's library, meeting the lost connection inside a call,
    # unlocks its display's lock in its error path and again as the call
    # returns; the display is never used after that. The thread checker
    # looks away from that double unlock, and only from that one, whether
    # the call is the display library's own or an extension's the game
    # loads (the picture, shared memory, input, screen and cursor
    # extensions unlock the same way inside their own calls, which then
    # stand on the stack instead of the display library's).
    printf 'mutex:%s\n' libX11.so.6 libXrender.so.1 libXext.so.6 libXi.so.6 libXrandr.so.2 libXfixes.so.3 \
      >"$dir/tsan.supp"
    export TSAN_OPTIONS=${TSAN_OPTIONS:+$TSAN_OPTIONS:}suppressions=$dir/tsan.supp
  fi
  start_game

  if [ "$mode" = firstshow ]; then
    # The window is made, and stays unmapped whatever the game asks.
    wait_window made
    [ "$(xwininfo -id "$win" | awk '/Map State/ {print $3}')" = IsUnMapped ] || fail "the window was shown"
    xdotool windowclose "$win"
    kill -CONT "${pids[1]}"
    ended_normally
    outcome=passed
    exit 0
  fi
  wait_window shown

  if [ "$mode" = box ] || [ "$mode" = playbox ] || [ "$mode" = boxlost ] || [ "$mode" = playboxlost ] ||
    [ "$mode" = boxgone ]; then
    # The box waits in a process of its own, a child of the thread that
    # shows it; the window's close comes away from the box, or the
    # display's server ends.
    local x y w h
    wait_box_shown
    if [ "$mode" = boxgone ]; then
      # Another client destroys the box's window: the box counts as
      # answered, and the game goes on.
      local box=""
      box_window() {
        box=$(xwininfo -root -tree | awk '/"Lua Alert"/ {print $1}')
        [ -n "$box" ]
      }
      wait_for "$SHOW_LIMIT" "the box's window did not show" box_window
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
    outcome=passed
    exit 0
  fi

  if [ "$mode" = loadminimised ]; then
    # From the loading screen on, the window is minimised and brought back
    # every tenth of a second (the loader thread loads meanwhile; the
    # window's thread tells the canvas of each activation) until the menu
    # shows; then the window's close.
    local rounds=0 x y w h
    wait_first_picture
    menu_shown() {
      [ "$frame" -nt "$dir/first.png" ] && cp "$frame" "$dir/menu.png" &&
        differs "$dir/first.png" "$dir/menu.png" $SCREEN_TOP
    }
    begin_wait "$LOAD_LIMIT"
    until menu_shown; do
      within || fail "the loading screen did not give way to the menu while the window was minimised and" \
        "brought back ($rounds times), $(waited)"
      xdotool windowminimize --sync "$win" windowactivate --sync "$win"
      kill -0 "$game_pid" 2>/dev/null || fail "the game ended while its window was minimised and brought back"
      ((++rounds))
      sleep 0.1
    done
    read -r x y w h < <(geometry)
    xdotool mousemove $((x + w - 10)) $((y - 10)) click 1
    ended_normally
    outcome=passed
    exit 0
  fi

  if [ "$mode" = destroyed ] || [ "$mode" = wmdestroyed ] || [ "$mode" = lost ]; then
    wait_first_picture
    if [ "$mode" != lost ]; then
      xdotool windowclose "$win"
    else
      kill "${pids[0]}"
    fi
    ended_normally
    outcome=passed
    exit 0
  fi

  if [[ $mode = frozen* ]] || [ "$mode" = lostmotion ]; then
    # The loading screen gives way to the menu (Ann is known), or the game
    # begins to blink.
    wait_first_picture
    if [ "$mode" = frozendraw ]; then
      blinking() { grep -q '^blinking$' "$log"; }
      wait_for "$LOAD_LIMIT" "the game did not begin to draw all the time" blinking
    else
      step_start=$dir/display
      settle_within "$LOAD_LIMIT" start "the loading screen did not give way to the menu" \
        differs "$dir/first.png" $SCREEN_TOP
    fi
    if [ "$mode" = lostmotion ]; then
      cross_window_edge
      kill "${pids[0]}"
      ended_normally
      story_saved
      outcome=passed
      exit 0
    fi
    local tries=0
    while :; do
      [ "$mode" = frozenmotion ] && cross_window_edge
      kill -STOP "${pids[0]}"
      [ "$mode" = frozenrest ] && break
      # The game's next call that waits for the server stays in it: its
      # next picture, or its next crossing of the window (the pointer may
      # have stopped before the server: then it goes again).
      begin_wait 2
      while ! waits_for_server && within; do sleep 0.05; done
      waits_for_server && break
      ((++tries < 5)) || fail "the game's window thread never waited for the frozen server, $(waited)"
      kill -CONT "${pids[0]}"
    done
    kill "$game_pid"
    ended_normally
    story_saved
    kill -CONT "${pids[0]}"
    outcome=passed
    exit 0
  fi

  # Closes the options dialog (the menu shows again) and opens it where the
  # screen shows its button (the dialog as $1.png showed it comes back).
  close_and_reopen() {
    begin; click $CLOSE_BUTTON
    settle "$1-closed" "Close ($1) did not close the dialog" same "$dir/menu.png" $DIALOG
    begin; click $OPTIONS_BUTTON
    settle "$1-options" "Options ($1) did not open its dialog" same "$dir/$1.png" $DIALOG
  }

  # The loading screen gives way to the menu with the new player's name
  # prompt; the name typed there, the menu shows without it.
  wait_first_picture
  step_start=$dir/display
  settle_within "$LOAD_LIMIT" start "the loading screen did not give way to the menu" \
    differs "$dir/first.png" $SCREEN_TOP
  menu_seen=yes
  begin
  wait_focused
  xdotool mousemove 512 384 type --delay 40 Tess
  xdotool key Return
  click $RESTING
  settle menu "the name prompt did not close" differs "$dir/start.png" $PROMPT

  # The options dialog opens over the menu.
  begin; click $OPTIONS_BUTTON
  settle options "Options did not open the options dialog" differs "$dir/menu.png" $DIALOG

  # Full screen: the check mark shows, the screen follows.
  begin; click $CHECK_BOX
  wait_fullscreen yes
  settle full "no check mark in full screen" differs "$dir/options.png" $CHECK
  close_and_reopen full

  # Back to a window: no check mark, the screen follows.
  begin; click $CHECK_BOX
  wait_fullscreen no
  settle window "the check mark stays in a window" same "$dir/options.png" $CHECK
  close_and_reopen window

  # Full screen once more, and back to a window by Escape.
  begin; click $CHECK_BOX
  wait_fullscreen yes
  settle full-again "no check mark in full screen" differs "$dir/options.png" $CHECK
  begin; xdotool key Escape
  wait_fullscreen no
  settle escaped "Escape did not leave full screen" same "$dir/options.png" $CHECK

  # Minimised (the window manager unmaps the window) and back: no close.
  if [ "$mode" = wm ]; then
    begin
    xdotool windowminimize --sync "$win"
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended when its window was minimised"
    xdotool windowactivate --sync "$win"
    settle restored "the window did not come back from its minimise"
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
  outcome=passed
}

up=$(mktemp -d "${TMPDIR:-/tmp}/hv-realwindow.XXXXXX")
# In a sanitizer build the leak checker looks away from leaks inside the
# system's own libraries, which the game calls but cannot mend: libdbus (SDL
# talks to the session bus on X) keeps a block.
printf 'leak:libdbus-1.so\n' >"$up/lsan.supp"
export LSAN_OPTIONS="suppressions=$up/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# Each run starts once the display of the one before is up, until one fails.
running=()
for mode in wm bare box playbox destroyed wmdestroyed lost firstshow boxlost playboxlost boxgone loadminimised \
  frozendraw frozenmotion frozenrest lostmotion; do
  [ -e "$up/failed" ] && break
  run "$mode" "$up/$mode" &
  running+=($!)
  begin_wait 5
  until [ -e "$up/$mode" ] || [ -e "$up/failed" ] || ! within; do sleep 0.05; done
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
