#!/usr/bin/env bash
# Start-up cost of the real game in a real window, measured under a virtual X server:
#   - time from exec to the mapped window (median of several starts),
#   - resident memory once the menu shows,
#   - use of one core while the menu waits for a key, over 10 s.
# Usage (inside xvfb-run, SDL_AUDIODRIVER=dummy): startup_bench.sh <program folder> [starts]
set -u
dist=$1
starts=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$dist"/. "$work"/
rm -f "$work"/rvdat.cck "$work"/*.lock
ticks=$(getconf CLK_TCK)

now_us() { echo $(( $(date +%s%N) / 1000 )); }

# Polls until a viewable window with the game's caption exists; prints the microseconds.
time_to_window() {
  local t0 t1
  t0=$(now_us)
  "$work/rv_031" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 20000); do
    if xdotool search --onlyvisible --name '^Ravolin Ver 0\.31$' >/dev/null 2>&1; then
      t1=$(now_us)
      echo $(( t1 - t0 ))
      return 0
    fi
  done
  echo -1
}

stop_game() {
  kill "$pid" 2>/dev/null  # SIGTERM is a closed window: the regular shutdown runs
  wait "$pid" 2>/dev/null
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

declare -a times
for i in $(seq "$starts"); do
  t=$(time_to_window)
  times+=("$t")
  stop_game
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | sed -n "$(( (starts + 1) / 2 ))p")
echo "exec to mapped window (us): $(echo $sorted | tr '\n' ' ')"
echo "exec to mapped window, median: $(( median / 1000 )).$(( (median % 1000) / 100 )) ms"

# One more start, left running through the logo (about 9.5 s) into the menu.
time_to_window >/dev/null
sleep 11
rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
echo "resident in the menu: $(( rss / 1024 )).$(( (rss % 1024) * 10 / 1024 )) MB (peak $(( hwm / 1024 )) MB)"
c0=$(cpu_ticks "$pid")
sleep 10
c1=$(cpu_ticks "$pid")
awk -v d=$(( c1 - c0 )) -v t="$ticks" \
  'BEGIN { printf "idle in the menu: %d ticks in 10 s = %.2f %% of a core\n", d, 100 * d / (10 * t) }'
stop_game
