# MachinePace.sh, sourced by the real-window tests: time counted at the pace
# the machine gives a program, for limits that only catch a hang. A second
# in which the load over the last minute, or the threads ready to run now,
# are twice the processors this shell may use (taskset holds it to some)
# counts as half a second (all of it on a machine less busy), so that a
# limit reached stands for a hang, not for a busy machine. One wait at a
# time; a shell running waits side by side keeps its own (the variables
# begin_wait sets may be made local).

PROCESSORS=$(nproc)
wait_top_load=0

# Sets pace_now to how busy the machine is now, in hundredths: the load, or
# the threads ready to run, over the processors, 100 at least; keeps the
# highest load seen in wait_top_load.
measure_pace() {
  local load running
  read -r load _ _ running _ </proc/loadavg
  load=$((10#${load//[!0-9]/}))
  running=$((${running%/*} * 100))
  ((running > load)) && load=$running
  ((load > wait_top_load)) && wait_top_load=$load
  pace_now=$((load / PROCESSORS))
  ((pace_now >= 100)) || pace_now=100
}

# $1 seconds at the machine's pace now, in seconds of the clock: a tool's
# own time limit.
paced() {
  measure_pace
  echo $((($1 * pace_now + 99) / 100))
}

# Starts a wait of $1 seconds.
begin_wait() {
  wait_limit=$(($1 * 1000000))
  wait_counted=0
  wait_began=${EPOCHREALTIME//[!0-9]/}
  wait_last=$wait_began
  wait_top_load=0
}

# Whether the wait begun last has time left; counts the time since it was
# last asked at the pace the machine gives now.
within() {
  local now
  now=${EPOCHREALTIME//[!0-9]/}
  measure_pace
  wait_counted=$((wait_counted + (now - wait_last) * 100 / pace_now))
  wait_last=$now
  ((wait_counted < wait_limit))
}

# What the wait begun last measured, for a failure's message.
waited() {
  printf 'after %d s, counted as %d s at a load or threads ready to run of up to %d.%02d on %d processors' \
    $(((wait_last - wait_began) / 1000000)) $((wait_counted / 1000000)) \
    $((wait_top_load / 100)) $((wait_top_load % 100)) "$PROCESSORS"
}
