#!/usr/bin/env bash
# CPU use of the windowed velkor program at its default period, as a
# percentage of one core: left idle, or (with "fast") running continuously at
# "Fast", started by clicks on the window (xdotool): the speed item, then
# "ENABLE Continous Execution". The program runs under an Xvfb of its own
# (never the caller's DISPLAY): the server picks a free display number and
# reports it through -displayfd. The CPU time (user + system, all threads,
# from /proc/PID/stat) is taken after a settling second and again 10 s later,
# so that the start is not counted. Prints one number; exits 1 when the
# server or the program does not come up.
#   scripts/bench-idle-cpu.sh build-bench/app/velkor [fast]
set -u
program=${1:?usage: bench-idle-cpu.sh PATH/TO/velkor [fast]}
mode=${2:-idle}
program=$(realpath "$program")
seconds=${IDLE_SECONDS:-10}
work=$(mktemp -d)
xvfb_pid=""
velkor_pid=""
cleanup() {
  [ -n "$velkor_pid" ] && kill "$velkor_pid" 2>/dev/null && wait "$velkor_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
display=$(tr -d '[:space:]' <"$work/display")
if [ -z "$display" ]; then
  echo "bench-idle-cpu: Xvfb did not start" >&2
  exit 1
fi

# The slot directory and anything else the program writes stay in $work.
(cd "$work" && DISPLAY=":$display" exec "$program" --slot-dir "$work") \
  >"$work/velkor.log" 2>&1 &
velkor_pid=$!

cpu_ticks() {
  # Fields 14 and 15 (utime, stime) after the command name, which may hold
  # spaces: cut at the last ')'.
  local stat
  stat=$(cat "/proc/$velkor_pid/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  set -- $stat
  echo $(( ${12} + ${13} ))
}

if [ "$mode" = fast ]; then
  # Window pixels are the snapshot's: the window opens at the native size.
  window=$(DISPLAY=":$display" timeout 20 xdotool search --sync --name '^Velkor$' | head -1)
  if [ -z "$window" ]; then
    echo "bench-idle-cpu: no velkor window" >&2
    exit 1
  fi
  sleep 1
  for point in "530 392" "372 390"; do  # "Fast", then ENABLE Continous Execution
    DISPLAY=":$display" xdotool mousemove --window "$window" $point click 1
    sleep 0.5
  done
  DISPLAY=":$display" xdotool mousemove --window "$window" 10 10
fi

sleep 1
start=$(cpu_ticks) || { echo "bench-idle-cpu: velkor did not start" >&2; cat "$work/velkor.log" >&2; exit 1; }
start_ns=$(date +%s%N)
sleep "$seconds"
end=$(cpu_ticks) || { echo "bench-idle-cpu: velkor ended early" >&2; cat "$work/velkor.log" >&2; exit 1; }
end_ns=$(date +%s%N)
hz=$(getconf CLK_TCK)
awk -v t="$((end - start))" -v hz="$hz" -v ns="$((end_ns - start_ns))" \
  'BEGIN { printf "%.1f\n", 100.0 * (t / hz) / (ns / 1e9) }'
