#!/usr/bin/env bash
# Runs inside xvfb-run on a 1280x1024 screen with nothing but the program folder: the
# game's message boxes are real windows a player sees and closes.
#  1. Wave/wave3.dat missing: the "起動エラー２" box maps with its text, a key closes it,
#     the game ends with status 1 and leaves no marker.
#  2. A match whose background picture was spoiled after start-up: the full-screen window
#     gives way, the "エラー" box with "配列エラーが発生しました！" maps, a click on OK closes
#     it, and the game ends with status 1 and no marker.
# Usage: message_box_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"

# The box: a visible window of that exact name, viewable, with text on it. Prints its id.
find_box() {
  local name=$1 shot=$2 id
  id=$(timeout 20 xdotool search --sync --onlyvisible --name "^$name\$" | head -n 1)
  [ -n "$id" ] || fail "no box named '$name'"
  xwininfo -id "$id" | grep -q 'Map State: IsViewable' || fail "the box is not viewable"
  sleep 0.5  # let it paint
  import -window root "$work/$shot" || fail "screenshot failed"
  eval "$(xdotool getwindowgeometry --shell "$id")"
  [ "$WIDTH" -ge 200 ] && [ "$HEIGHT" -ge 60 ] || fail "the box is only ${WIDTH}x${HEIGHT}"
  # Dark ink of the text and icon on the light face of the box, seen on the screen.
  local dark
  dark=$(convert "$work/$shot" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" -colorspace Gray \
         -threshold 40% -format "%[fx:int(w*h*(1-mean))]" info:)
  [ "$dark" -ge 300 ] || fail "the box shows almost no text ($dark dark pixels)"
  echo "box '$name' ${WIDTH}x${HEIGHT} at $X,$Y with $dark dark pixels" >&2
  echo "$id"
}

# --- 1. a missing file at start-up
copy_program_folder "$dist" "$game"
rm "$game/Wave/wave3.dat"
(cd / && exec "$game/rv_031") >"$log" 2>&1 &
pid=$!
box=$(find_box '起動エラー２' missing_file.png) || exit 1
[ -e "$game/rvdat.cck" ] && fail "a marker was made before the file check"
timeout 5 xdotool windowfocus --sync "$box" || fail "cannot focus the box"
tap Return
expect_exit "the refused start's box was closed" 1
grep -q '起動エラー２: Ravolinの起動に必要なファイルが足りません！' "$log" ||
  fail "the line on standard error is missing"
echo "missing file: box shown, closed by a key, status 1, no marker"

# --- 2. a failure inside a match
copy_program_folder "$dist" "$game"
(cd / && exec "$game/rv_031") >"$log" 2>&1 &
pid=$!
# The title comes after some 9.5 s of logo; the menu takes keys from then on.
focus_at_title
# The match loads its background when it starts: a torn picture is a failure of the match.
printf 'BM\020\000' >"$game/Picture/pic1.dat"
to_the_start_button
tap x        # the match: fade, three dark seconds, then its background
box=$(find_box 'エラー' match_error.png) || exit 1
xwininfo -id "$wid" | grep -q 'Map State: IsViewable' && fail "the game window still covers the box"
eval "$(xdotool getwindowgeometry --shell "$box")"
# OK stands at the bottom right of the box.
xdotool mousemove --sync $((X + WIDTH - 50)) $((Y + HEIGHT - 22)) click 1
expect_exit "the failed match's box was closed" 1
grep -q 'エラー: 配列エラーが発生しました！' "$log" || fail "the line on standard error is missing"
echo "match failure: game window gave way, box shown, closed by a click, status 1, no marker"
echo "PASS"
