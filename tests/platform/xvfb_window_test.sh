#!/usr/bin/env bash
# Runs inside xvfb-run on a 1280x1024 screen: the probe's window must cover the screen,
# show the test picture letterboxed (scale 2: 1280 x 960 with 32-pixel bars above and
# below), and react to X and Escape sent with xdotool.
source "$(dirname "$0")/../game_window/game_window_lib.sh"
probe=$1
fresh_work_folder "$2"
log=$work/probe.log

"$probe" >"$log" 2>&1 &
pid=$!
for _ in $(seq 100); do
  grep -q '^READY' "$log" && break
  kill -0 "$pid" 2>/dev/null || fail "probe ended early"
  sleep 0.1
done
grep -q '^READY' "$log" || fail "probe never became ready"
grep '^READY' "$log"
grep -q 'window 1280x1024' "$log" || fail "window is not full-screen"
grep -q 'cursor_hidden 1' "$log" || fail "mouse cursor is shown"
grep -q 'borderless 1' "$log" || fail "window has a border"

wid=$(xdotool search --name '^Ravolin probe$' | head -n 1)
[ -n "$wid" ] || fail "no window named 'Ravolin probe' on the display"
geometry=$(xdotool getwindowgeometry "$wid")
echo "$geometry"
echo "$geometry" | grep -q 'Position: 0,0' || fail "window is not at the top-left corner"
echo "$geometry" | grep -q 'Geometry: 1280x1024' || fail "window does not cover the screen"

import -window root "$work/screen.png" || fail "screenshot failed"
# x y expected colour; all read in one pass of convert.
checks=(
  "640 10 000000"     # bar above
  "640 1010 000000"   # bar below
  "0 32 FFFF00"       # the picture's top-left pixel, doubled
  "1 33 FFFF00"
  "2 32 FF0000"
  "320 272 FF0000"
  "960 272 00FF00"
  "320 752 0000FF"
  "960 752 FFFFFF"
  "1278 990 FF00FF"   # the picture's bottom-right pixel, doubled
  "1279 991 FF00FF"
  "1279 992 000000"
  "1277 991 FFFFFF"
)
format=""
for c in "${checks[@]}"; do
  read -r x y _ <<<"$c"
  format+="%[hex:p{$x,$y}] "
done
read -r -a got <<<"$(convert "$work/screen.png" -format "$format" info:)"
for i in "${!checks[@]}"; do
  read -r x y want <<<"${checks[$i]}"
  [ "${got[$i]:-}" = "$want" ] || fail "pixel ($x,$y) is ${got[$i]:-nothing}, expected $want"
done

timeout 5 xdotool windowfocus --sync "$wid" || fail "cannot focus the window"
xdotool key x
sleep 0.3
xdotool key Escape
wait_for_exit "probe did not end on Escape"
status=$?
grep -q '^DOWN 88' "$log" || fail "key-down of X not seen"
grep -q '^UP 88 KEY_X 0' "$log" || fail "key-up of X not seen"
[ "$status" -eq 0 ] || fail "probe ended with status $status"
echo "PASS"
