#!/usr/bin/env bash
# Start-up cost of the real game in a real window, measured under a virtual X server:
#   - time from exec to the mapped window (median of several starts), and the processor time
#     the game had used by then (less sensitive to a loaded machine than the wall time),
#   - resident memory once the menu shows,
#   - use of one core while the menu waits for a key, over 20 s, per thread.
# Usage (inside xvfb-run, SDL_AUDIODRIVER=dummy):
#   startup_bench.sh <program folder> [starts] <rv_map_wait>
set -u
dist=$1
starts=${2:-5}
map_wait=$3
caption='Ravolin Ver 0.31'
idle_s=20
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$dist"/. "$work"/
rm -f "$work"/rvdat.cck "$work"/*.lock

# Processor time of a thread or a whole process in microseconds (the scheduler's ns account).
thread_cpu_us() { awk '{ printf "%d", $1 / 1000 }' "$1/schedstat" 2>/dev/null || echo 0; }
process_cpu_us() {
  local sum=0
  for t in /proc/"$1"/task/*; do sum=$(( sum + $(thread_cpu_us "$t") )); done
  echo "$sum"
}

# The game is not our child (rv_map_wait started it): wait for it to go by polling.
stop_game() {
  kill "$1" 2>/dev/null  # SIGTERM is a closed window: the regular shutdown runs
  for _ in $(seq 500); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.01
  done
  kill -9 "$1" 2>/dev/null
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -a times cpus
for _ in $(seq "$starts"); do
  rm -f "$work/rvdat.cck"
  # Command substitution waits for rv_map_wait itself, and so for the game's end.
  read -r _ _ _ map_us _ cpu_us <<<"$("$map_wait" "$caption" "$work/rv_031")"
  times+=("$map_us")
  cpus+=("$cpu_us")
done
t_med=$(printf '%s\n' "${times[@]}" | median)
c_med=$(printf '%s\n' "${cpus[@]}" | median)
echo "exec to mapped window (ms): $(printf '%s\n' "${times[@]}" | sort -n | awk '{ printf "%.1f ", $1 / 1000 }')"
echo "exec to mapped window, median: $(awk -v v="$t_med" 'BEGIN { printf "%.1f", v / 1000 }') ms"
echo "processor time used by then, median: $(awk -v v="$c_med" 'BEGIN { printf "%.1f", v / 1000 }') ms (all: $(printf '%s\n' "${cpus[@]}" | sort -n | awk '{ printf "%.0f ", $1 / 1000 }'))"
echo "load average while measuring: $(cut -d' ' -f1-3 /proc/loadavg)"

# One more start, left running through the logo (about 9.5 s) into the menu.
rm -f "$work/rvdat.cck"
read -r _ pid _ map_us _ _ <<<"$("$map_wait" --keep "$caption" "$work/rv_031")"
if [ "$map_us" = -1 ]; then
  echo "the game did not start"
  exit 1
fi
sleep 11
kb() { awk -v k="$1" '$1 == k":" { print $2 }' "$2"; }
mb() { awk -v v="$1" 'BEGIN { printf "%.1f", v / 1024 }'; }
status=/proc/$pid/status
rollup=/proc/$pid/smaps_rollup
echo "resident in the menu: $(mb "$(kb VmRSS "$status")") MB (peak $(mb "$(kb VmHWM "$status")") MB;" \
  "anonymous $(mb "$(kb Anonymous "$rollup")") MB, files $(mb "$(kb RssFile "$status")") MB," \
  "shared memory $(mb "$(kb RssShmem "$status")") MB; proportional $(mb "$(kb Pss "$rollup")") MB)"
declare -A t0s
for t in /proc/"$pid"/task/*; do t0s[$t]=$(thread_cpu_us "$t"); done
c0=$(process_cpu_us "$pid")
sleep "$idle_s"
c1=$(process_cpu_us "$pid")
for t in /proc/"$pid"/task/*; do
  echo "  thread $(cat "$t/comm"): $(( ($(thread_cpu_us "$t") - ${t0s[$t]:-0}) / 1000 )) ms"
done
awk -v d=$(( c1 - c0 )) -v s="$idle_s" \
  'BEGIN { printf "idle in the menu: %.1f ms in %d s = %.2f %% of a core\n", d / 1000, s, d / (s * 10000) }'
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

# The floor under that figure: the game wakes every 20 ms to service events, and the audio
# thread once per device buffer (2048 frames at 44.1 kHz); each wake-up costs what it costs
# on this machine, whatever the game then does.
wake_cost=$(dirname "$map_wait")/rv_wake_cost
if [ -x "$wake_cost" ] && us=$("$wake_cost"); then
  awk -v us="$us" 'BEGIN {
    poll = 50 * us / 1e4; audio = 44100 / 2048 * us / 1e4
    printf "one wake-up from a sleep costs %.1f us here: the 20 ms poll alone is %.2f %% of a core,", us, poll
    printf " the audio device'"'"'s wake-ups %.2f %%, together %.2f %%\n", audio, poll + audio
  }'
fi
stop_game "$pid"
