#!/usr/bin/env bash
# Runs inside xvfb-run on a 1600x1200 screen: the game started with --window shows its
# 640 x 480 picture at 2x in a 1280 x 960 window, centred; F11 and Alt+Enter switch to
# full-screen and back on the title, the selection, in a match and on the ranking screen,
# and never act as game keys; a whole match is played in the window; Escape then ends the
# game with status 0 and without its marker, and so does closing the window.
# Usage: window_mode_test.sh <program folder of the build> <work folder> <rv_close_window>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"
close_window=$3
copy_program_folder "$dist" "$game"

# The screen, the window's place at 2x and the full-screen picture (2.5x, exactly filling).
read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
[ "$screen_w" -eq 1600 ] && [ "$screen_h" -eq 1200 ] || fail "the screen is ${screen_w}x$screen_h"
win_x=160 win_y=120 win_w=1280 win_h=960

shot() { import -window root "$work/$1.png" 2>/dev/null || fail "screenshot $1 failed"; }

# The picture's 640 x 480 pixels out of a screenshot: each pixel of a whole scale is a
# square, so sampling picks the picture back exactly.
picture_of() {
  local name=$1 geometry=$2
  convert "$work/$name.png" -crop "$geometry" +repage -sample 640x480 "$work/$name.pic.png"
}
# Pixels that differ between two pictures.
differing() { compare -metric AE "$work/$1.pic.png" "$work/$2.pic.png" null: 2>&1; }
# Mean brightness of the picture of a screenshot.
brightness() { convert "$work/$1.pic.png" -colorspace Gray -format "%[fx:mean]" info:; }

# same_picture NAME PIXELS REFERENCE: NAME's picture differs from REFERENCE's in at most
# PIXELS pixels (no REFERENCE: nothing to compare).
same_picture() {
  local name=$1 allowed=$2 reference=$3 d
  [ -z "$reference" ] && return 0
  d=$(differing "$reference" "$name")
  if [ "$d" -gt "$allowed" ]; then
    why="$name: another picture than $reference ($d pixels differ)"
    return 1
  fi
}

# window_ok NAME [PIXELS REFERENCE]: the window at 2x, centred, every picture pixel a 2 x 2
# square, and its picture the REFERENCE's but for PIXELS. Its _NET_WM_STATE is what the
# window was made with: without a window manager nobody applies the later requests to change
# it, so "not kept above" is checked for a window made so. A problem is left in $why.
window_ok() {
  local name=$1 allowed=${2:-0} reference=${3:-} off
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  if [ "$WIDTH" -ne $win_w ] || [ "$HEIGHT" -ne $win_h ] || [ "$X" -ne $win_x ] ||
     [ "$Y" -ne $win_y ]; then
    why="$name: window ${WIDTH}x$HEIGHT at $X,$Y, not ${win_w}x$win_h at $win_x,$win_y"
    return 1
  fi
  if [ "$made_windowed" -eq 1 ] && xprop -id "$wid" _NET_WM_STATE | grep -q ABOVE; then
    fail "$name: the window is kept above others"
  fi
  shot "$name"
  convert "$work/$name.png" -crop ${win_w}x$win_h+$win_x+$win_y +repage "$work/$name.win.png"
  picture_of "$name" ${win_w}x$win_h+$win_x+$win_y
  convert "$work/$name.pic.png" -sample ${win_w}x$win_h "$work/$name.back.png"
  off=$(compare -metric AE "$work/$name.win.png" "$work/$name.back.png" null: 2>&1)
  if [ "$off" != 0 ]; then
    why="$name: $off pixels of the window are not 2 x 2 squares"
    return 1
  fi
  same_picture "$name" "$allowed" "$reference" || return 1
  echo "$name: window ${WIDTH}x$HEIGHT at $X,$Y, picture at 2x (brightness $(brightness "$name"))"
}

# fullscreen_ok NAME [PIXELS REFERENCE]: the window covers the screen, the picture as above.
fullscreen_ok() {
  local name=$1 allowed=${2:-0} reference=${3:-}
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  if [ "$WIDTH" -ne "$screen_w" ] || [ "$HEIGHT" -ne "$screen_h" ] || [ "$X" -ne 0 ] ||
     [ "$Y" -ne 0 ]; then
    why="$name: full-screen window ${WIDTH}x$HEIGHT at $X,$Y"
    return 1
  fi
  shot "$name"
  picture_of "$name" "${screen_w}x$screen_h+0+0"
  same_picture "$name" "$allowed" "$reference" || return 1
  echo "$name: full-screen ${WIDTH}x$HEIGHT (brightness $(brightness "$name"))"
}

# expect window|fullscreen NAME [PIXELS REFERENCE]: the check passes within 5 s (a loaded
# machine may take a moment to switch and redraw).
expect() {
  local kind=$1
  shift
  for _ in $(seq 20); do
    kill -0 "$pid" 2>/dev/null || fail "the game ended (checking $1)"
    "${kind}_ok" "$@" && return 0
    sleep 0.25
  done
  fail "$why"
}

# switch_keys SCREEN [PIXELS]: F11 to full-screen and Alt+Enter back, each showing the same
# picture but for PIXELS (the ranking screen's marks blink; the others stand still).
switch_keys() {
  local screen=$1 allowed=${2:-0} settled=0
  # The screen has settled when two looks a moment apart agree.
  for _ in $(seq 20); do
    expect window "$screen-before"
    sleep 0.3
    if window_ok "$screen-again" "$allowed" "$screen-before"; then settled=1; break; fi
  done
  [ "$settled" -eq 1 ] || fail "$screen: the screen never stood still"
  tap F11
  expect fullscreen "$screen-full" "$allowed" "$screen-before"
  tap alt+Return
  expect window "$screen-after" "$allowed" "$screen-before"
}

# Started from another working folder: the game must find its files and marker by itself.
made_windowed=1
(cd / && SDL_AUDIODRIVER=dummy exec "$game/rv_031" --window) >"$log" 2>&1 &
pid=$!
find_game_window '^Ravolin Ver 0\.31$'
timeout 5 xdotool windowfocus --sync "$wid" || fail "cannot focus the window"

# The title: lit after some 9.5 s of logo.
for i in $(seq 60); do
  kill -0 "$pid" 2>/dev/null || fail "the game ended early"
  shot title
  picture_of title ${win_w}x$win_h+$win_x+$win_y
  convert "$work/title.pic.png" -crop 501x150+70+10 -colorspace Gray -format "%[fx:mean]" info: \
    >"$work/b"
  awk '{ exit !($1 > 0.02) }' "$work/b" && break
  [ "$i" -eq 60 ] && fail "the title never appeared"
  sleep 0.5
done
sleep 1
# Return is the game's decide key: Alt+Enter that reached the game would start a match.
switch_keys title

tap x  # the selection
sleep 1.5
switch_keys selection
tap Down
sleep 0.3
tap Down  # the start button
sleep 0.3
tap x
echo "the match starts"

# The match: the selection fades, the screen stays dark for some seconds, then the board;
# the player places a block now and then, now and then a step aside, until the screen goes
# dark again (the results fade away into the logo). A one-round match against the easiest
# CPU; what each look saw is in $work/looks.
phase=selection
switched=0
for i in $(seq 150); do
  kill -0 "$pid" 2>/dev/null || fail "the game ended during the match"
  shot match
  picture_of match ${win_w}x$win_h+$win_x+$win_y
  b=$(brightness match)
  lit=$(awk -v b="$b" 'BEGIN { print (b > 0.01) }')
  echo "look $i: $phase $b" >>"$work/looks"
  if [ "$phase" = selection ] && [ "$lit" = 0 ]; then
    phase=dark
  elif [ "$phase" = dark ] && [ "$lit" = 1 ]; then
    phase=board
    echo "board shown (brightness $b)"
  elif [ "$phase" = board ] && [ "$lit" = 0 ]; then
    phase=over
    echo "the match is over after $i looks"
    break
  fi
  if [ "$phase" = board ]; then
    if [ "$switched" -eq 0 ]; then
      # Once in the match: the switch keys there too (the board moves, so no picture check).
      switched=1
      tap F11
      expect fullscreen match-full
      tap F11
      expect window match-window
    fi
    case $((RANDOM % 3)) in
      0) tap Left ;;
      1) tap Right ;;
    esac
    sleep 0.2
    tap x
  fi
  sleep 1
done
[ "$phase" = over ] || fail "the match did not end (phase $phase)"

# Back to the title by itself (logo first), then the ranking screen.
for i in $(seq 60); do
  kill -0 "$pid" 2>/dev/null || fail "the game ended after the match"
  shot title2
  picture_of title2 ${win_w}x$win_h+$win_x+$win_y
  d=$(differing title-before title2)
  [ "$d" = 0 ] && break
  [ "$i" -eq 60 ] && fail "the title did not come back after the match"
  sleep 0.5
done
echo "back at the title after the match"
tap Down
sleep 0.5
tap x
sleep 3
switch_keys ranking 6000
tap z
sleep 2

tap Escape
expect_exit Escape
echo "Escape: status 0, marker gone"

# Without --window the game starts full-screen as ever, and F11 gives the window there too.
# Closing the window (the close box of a window manager) is the regular shutdown.
made_windowed=0
(cd / && SDL_AUDIODRIVER=dummy exec "$game/rv_031") >"$log" 2>&1 &
pid=$!
find_game_window '^Ravolin Ver 0\.31$'
sleep 2
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" -eq "$screen_w" ] && [ "$HEIGHT" -eq "$screen_h" ] ||
  fail "without --window: a window ${WIDTH}x$HEIGHT"
timeout 5 xdotool windowfocus --sync "$wid" || fail "cannot focus the window"
tap F11
expect window from-fullscreen
echo "from full-screen, F11 gave the window"
"$close_window" "$wid" || fail "cannot ask the window to close"
expect_exit "its window was closed"
echo "closed window: status 0, marker gone"
echo "PASS"
