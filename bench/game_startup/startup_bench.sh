#!/usr/bin/env bash
# Start-up cost of the real game in a real window, measured under a virtual X server:
#   - time from exec to the mapped window (median of several starts),
#   - resident memory once the menu shows,
#   - use of one core while the menu waits for a key, over 10 s.
# Usage (inside xvfb-run, SDL_AUDIODRIVER=dummy): startup_bench.sh <program folder> [starts]
set -u
pid=""
elapsed=-1
cpu_ms=0
dist=$1
starts=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$dist"/. "$work"/
rm -f "$work"/rvdat.cck "$work"/*.lock
ticks=$(getconf CLK_TCK)

now_us() { echo $(( $(date +%s%N) / 1000 )); }

# Starts the game and polls until a viewable window with its caption exists; sets pid,
# elapsed (microseconds, -1 when no window came) and cpu_ms, the processor time the game had
# used by then. On a loaded machine the wall time mostly measures the wait for a core; the
# processor time does not.
start_game() {
  local t0
  t0=$(now_us)
  "$work/rv_031" >/dev/null 2>&1 &
  pid=$!
  elapsed=-1
  for _ in $(seq 20000); do
    if xdotool search --onlyvisible --name '^Ravolin Ver 0\.31$' >/dev/null 2>&1; then
      elapsed=$(( $(now_us) - t0 ))
      cpu_ms=$(( $(cpu_ticks "$pid") * 1000 / ticks ))
      return 0
    fi
  done
}

stop_game() {
  kill "$pid" 2>/dev/null  # SIGTERM is a closed window: the regular shutdown runs
  wait "$pid" 2>/dev/null
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

declare -a times cpus
for i in $(seq "$starts"); do
  rm -f "$work/rvdat.cck"
  start_game
  times+=("$elapsed")
  cpus+=("$cpu_ms")
  stop_game
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | sed -n "$(( (starts + 1) / 2 ))p")
echo "exec to mapped window (us): $(echo $sorted | tr '\n' ' ')"
echo "exec to mapped window, median: $(( median / 1000 )).$(( (median % 1000) / 100 )) ms"
echo "processor time used by then (ms): ${cpus[*]}"
echo "load average while measuring: $(cut -d' ' -f1-3 /proc/loadavg)"

# One more start, left running through the logo (about 9.5 s) into the menu.
start_game
sleep 11
rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
anon=$(awk '/^RssAnon/ { print $2 }' "/proc/$pid/status")
echo "resident in the menu: $(( rss / 1024 )).$(( (rss % 1024) * 10 / 1024 )) MB (peak $(( hwm / 1024 )) MB, anonymous $(( anon / 1024 )) MB)"
c0=$(cpu_ticks "$pid")
declare -A t0s
for t in /proc/"$pid"/task/*; do t0s[$t]=$(awk '{ print $14 + $15 }' "$t/stat"); done
sleep 10
c1=$(cpu_ticks "$pid")
for t in /proc/"$pid"/task/*; do
  echo "  thread $(cat "$t/comm"): $(( $(awk '{ print $14 + $15 }' "$t/stat") - ${t0s[$t]:-0} )) ticks"
done
awk -v d=$(( c1 - c0 )) -v t="$ticks" \
  'BEGIN { printf "idle in the menu: %d ticks in 10 s = %.2f %% of a core\n", d, 100 * d / (10 * t) }'
stop_game
