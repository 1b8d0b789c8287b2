#!/usr/bin/env bash
# Runs inside xvfb-run on a 1280x1024 screen: the real game starts from a copy of the program
# folder, shows its menu, goes to the ranking screen and back, and ends on Escape with
# status 0 and without its running marker.
# Usage: window_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"
copy_program_folder "$dist" "$game"

# A game that ended by itself: its status too.
on_fail() {
  if [ -n "${pid:-}" ] && ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    echo "the game's exit status: $?"
  fi
}

# Started from another working folder: the game must find its files and marker by itself.
(cd / && exec "$game/rv_031") >"$log" 2>&1 &
pid=$!

focus_at_title
[ -e "$game/rvdat.cck" ] || fail "no running marker while the game runs"
[ "$(xdotool getwindowname "$wid")" = "Ravolin Ver 0.31" ] ||
  fail "the window is not named 'Ravolin Ver 0.31'"
tap Down
sleep 0.5
tap x
sleep 3  # the jingle, then the ranking screen
cp "$work/screen.png" "$work/menu.png" 2>/dev/null
import -window root "$work/ranking.png" || fail "screenshot failed"
# The ranking screen is not the title: the title's place looks different now.
if cmp -s <(convert "$work/ranking.png" -crop 1002x300+140+52 rgb:-) \
          <(convert "$work/menu.png" -crop 1002x300+140+52 rgb:-); then
  fail "the ranking screen did not appear"
fi
kill -0 "$pid" 2>/dev/null || fail "the game ended on the ranking screen"
tap z
back=0
for _ in $(seq 20); do
  b=$(title_brightness)
  if cmp -s <(convert "$work/screen.png" -crop 1002x300+140+52 rgb:-) \
            <(convert "$work/menu.png" -crop 1002x300+140+52 rgb:-); then back=1; break; fi
  sleep 0.3
done
[ "$back" -eq 1 ] || fail "the title did not come back after the ranking"
echo "back at the title"

tap Escape
expect_exit Escape
[ -e /rvdat.cck ] && fail "a marker was made in the working folder"
echo "PASS"
