#!/usr/bin/env bash
# Runs inside xvfb-run on a 1600x1200 screen, with the window manager named in WINDOW_MANAGER
# or without one: bursts of F11 (50 presses in some 0.3 s, then 51) on the title. Each switch
# waits in SDL for the window manager, so presses must not be worked off one by one: within
# 2 s of the last press the window is what the count says and stays so, and the game answers
# a key (the selection moves): full-screen after an even number, and after an odd one the
# window at its largest whole scale (2x, 1280 x 960). Worked off one by one, 50 presses take
# some 5 s.
# Usage: switch_burst_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"
limit=${BURST_LIMIT_MS:-2000}  # ms; more only to measure a slow build
wm=

on_fail() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
}

read -r screen_w screen_h < <(screen_size)
[ "$screen_w" -eq 1600 ] && [ "$screen_h" -eq 1200 ] || fail "the screen is ${screen_w}x$screen_h"
# The window manager, given three tries: it sometimes cannot open a display just started.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
if [ -n "${WINDOW_MANAGER:-}" ]; then
  for _ in 1 2 3; do
    "$WINDOW_MANAGER" >"$work/wm.log" 2>&1 &
    wm=$!
    for _ in $(seq 50); do
      wm_running && break 2
      kill -0 "$wm" 2>/dev/null || break
      sleep 0.1
    done
    kill "$wm" 2>/dev/null
    wm=
    sleep 0.5
  done
  wm_running || fail "$WINDOW_MANAGER did not start"
fi

copy_program_folder "$dist" "$work/game"
(cd / && exec "$work/game/rv_031") >"$log" 2>&1 &
pid=$!
focus_at_title 1

now_ms() { echo $(($(date +%s%N) / 1000000)); }
shot() { import -window root "$work/$1.png" 2>/dev/null || fail "screenshot $1 failed"; }
# Pixels that differ between two screenshots.
differing() {
  compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | awk '{ printf "%d\n", $1 }'
}
geometry() { eval "$(xdotool getwindowgeometry --shell "$wid")"; }
# burst N: N presses of F11, 5 ms apart; $last is when the last one was sent.
burst() {
  xdotool key --delay 5 $(yes F11 | head -n "$1") || fail "xdotool could not press F11"
  last=$(now_ms)
}
# within MS CHECK...: CHECK passes within MS of the last press; $answered is when it did.
within() {
  local limit=$1
  shift
  while :; do
    kill -0 "$pid" 2>/dev/null || fail "the game ended"
    if "$@"; then
      answered=$(($(now_ms) - last))
      return 0
    fi
    [ $(($(now_ms) - last)) -gt "$limit" ] && return 1
    sleep 0.05
  done
}

# The selection's place in the picture, where start and moved differ: only that is looked at
# while the answer is awaited, so that each look is quick.
selection_place() {
  convert "$work/start.png" "$work/moved.png" -compose difference -composite -trim \
    -format "%wx%h%O" info:
}
fullscreen() {
  geometry
  [ "$WIDTH" -eq "$screen_w" ] && [ "$HEIGHT" -eq "$screen_h" ]
}
moved() {
  import -window root -crop "$place" +repage "$work/after.png" 2>/dev/null || return 1
  [ "$(differing moved.sel after)" -le 100 ]
}
# settled CHECK: CHECK passes at two looks 0.4 s apart, longer than a switch takes with its
# settling, so that no switch was still to come. Keys are sent only then: without a window
# manager SDL unmaps the window for a moment in each switch, and a key sent meanwhile goes to
# nobody.
settled() { "$@" && sleep 0.4 && "$@"; }
whole_window() {
  geometry
  [ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 960 ]
}

# The picture with the selection one step down, for the answer to be recognised.
shot start
tap Down
sleep 0.5
shot moved
tap Up
sleep 0.5
[ "$(differing start moved)" -gt 100 ] || fail "Down does not move the selection"
place=$(selection_place)
convert "$work/moved.png" -crop "$place" +repage "$work/moved.sel.png"
burst 50
within "$limit" settled fullscreen ||
  fail "50 presses: the window is ${WIDTH}x$HEIGHT $limit ms after the last"
worked_off=$answered
tap Down  # the selection moves from the start to the ranking
within "$limit" moved || fail "50 presses: no answer to Down within $limit ms of the last press"
echo "50 presses: full-screen to stay ${worked_off} ms after the last press, the selection" \
     "moved ${answered} ms after it"

burst 51
within "$limit" settled whole_window || fail "51 presses: the window is ${WIDTH}x$HEIGHT $limit ms after the last"
echo "51 presses: the window at 2x to stay ${answered} ms after the last press"

tap Escape
expect_exit Escape
on_fail
echo "PASS"
