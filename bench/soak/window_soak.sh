#!/usr/bin/env bash
# The real game in a real window, left alone for a long time: first in its main menu, then in
# its ranking screen (whose 70 ms timer keeps firing). Resident memory and open descriptors are
# sampled every 30 s; the series is printed, then the game is quit with Escape.
# Usage (inside xvfb-run, e.g. xvfb-run -a -s "-screen 0 1280x1024x24"):
#   window_soak.sh <program folder> [minutes per screen] [folder for screenshots] [rvdat.dat]
# A ranking file, when given, fills the lists the ranking screen shows.
set -euo pipefail
dist=$1
minutes=${2:-10}
shots=${3:-}
ranking=${4:-}
caption='Ravolin Ver 0.31'
interval_s=30
work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT

cp -r "$dist"/. "$work"/
rm -f "$work"/rvdat.cck "$work"/*.lock
if [ -n "$ranking" ]; then cp "$ranking" "$work/rvdat.dat"; fi
SDL_AUDIODRIVER=dummy "$work/rv_031" >"$work/game.log" 2>&1 &
pid=$!
wid=$(timeout 30 xdotool search --sync --name "^$caption\$" | head -n 1)

# A key as a person presses it: held about 60 ms, so the game's polling sees it down.
press() {
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool keydown "$1"
  sleep 0.06
  xdotool keyup "$1"
  sleep 0.3
}
shot() { if [ -n "$shots" ]; then import -window root "$shots/$1.png"; fi; }
rss_kb() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$pid/status"; }
fds() { ls "/proc/$pid/fd" | wc -l; }

# sample SCREEN: one line every 30 s for the given minutes, the first at once.
sample() {
  local screen=$1 samples=$(( minutes * 60 / interval_s ))
  for i in $(seq 0 "$samples"); do
    kill -0 "$pid" 2>/dev/null || { echo "the game ended in the $screen"; exit 1; }
    printf '%s %4d s: VmRSS %6d kB, descriptors %d\n' "$screen" $(( i * interval_s )) "$(rss_kb)" "$(fds)"
    if [ "$i" -lt "$samples" ]; then sleep "$interval_s"; fi
  done
}

sleep 12  # the logo and the title lead into the main menu by themselves
shot menu
sample menu
press Down
press x
sleep 1
shot ranking
sample ranking
press Escape
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "Escape did not end the game"; exit 1; fi
wait "$pid" || true
pid=""
[ -e "$work/rvdat.cck" ] && { echo "the running marker was left behind"; exit 1; }
echo "the game quit normally"
