# Sourced by the shell tests that drive the real game under xvfb-run on a 1280x1024 screen,
# after the helpers of every shell test (fail, the work folder); $pid is the running game.
source "$(dirname "${BASH_SOURCE[0]}")/../support/test_lib.sh"

# begin_window_test PROGRAM_FOLDER WORK_FOLDER: the two arguments every window test takes.
# $dist is the build's program folder, $work the emptied work folder, $game the place of the
# game's copy in it and $log the game's output.
begin_window_test() {
  dist=$1
  fresh_work_folder "$2"
  game=$work/game
  log=$work/game.log
}

# A fresh copy of the program folder $1 in $2, without the marker, ranking or locks of
# earlier runs.
copy_program_folder() {
  rm -rf "$2"
  mkdir -p "$2"
  cp -r "$1"/. "$2"/
  rm -f "$2"/rvdat.cck "$2"/rvdat.dat "$2"/*.lock
}

# copy_program_folder_with_ranking FOLDER: a fresh copy of FOLDER in $work/game holding a
# ranking of one entry, for ranking_unchanged to hold the game's end against.
copy_program_folder_with_ranking() {
  copy_program_folder "$1" "$work/game"
  write_ranking "$work/game/rvdat.dat"
  ranking_before=$(md5sum <"$work/game/rvdat.dat")
}

ranking_unchanged() {
  [ "$(md5sum <"$work/game/rvdat.dat")" = "$ranking_before" ]
}

# find_game_window [NAME]: waits up to 20 s for the game's window (NAME a pattern for xdotool,
# by default any version's title) and sets $wid.
find_game_window() {
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "${1:-^Ravolin Ver }" | head -n 1)
  [ -n "$wid" ] || fail "no game window"
}

# focus_at_title [SECONDS]: finds the game's window, waits for the title, lets it settle
# (0.5 s by default) and focuses the window, so that keys reach the menu.
focus_at_title() {
  find_game_window
  wait_for_title title
  sleep "${1:-0.5}"
  timeout 5 xdotool windowfocus --sync "$wid" || fail "cannot focus the game"
}

# expect_ended WHAT STATUS EXPECTED: the game, ended by WHAT, ended with STATUS = EXPECTED and
# without its running marker, and left a ranking from copy_program_folder_with_ranking as it
# was.
expect_ended() {
  local what=$1 status=$2 expected=$3
  [ "$status" -eq "$expected" ] || fail "$what: the game ended with status $status"
  [ -e "$work/game/rvdat.cck" ] && fail "$what: the running marker stayed"
  [ -z "${ranking_before:-}" ] || ranking_unchanged || fail "$what: the ranking changed"
}

# expect_exit WHAT [EXPECTED]: waits up to 10 s for the game to end after WHAT, then as
# expect_ended, with status 0 unless EXPECTED says otherwise.
expect_exit() {
  local status
  wait_for_exit "the game still runs 10 s after $1"
  status=$?
  expect_ended "$1" "$status" "${2:-0}"
}

# The size of the screen, "W H".
screen_size() {
  xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }'
}

# The full-screen picture's place on a W x H screen, "w h x y": the 640 x 480 picture scaled
# to fit, centred between bars (on 1280 x 1024: 2x, 1280 x 960 with 32-pixel bars).
fullscreen_picture() {
  awk -v W="$1" -v H="$2" 'BEGIN {
    s = W / 640 < H / 480 ? W / 640 : H / 480
    printf "%d %d %d %d\n", 640 * s, 480 * s, (W - 640 * s) / 2, (H - 480 * s) / 2 }'
}

# The mean brightness (0..1) of the title's place on the full-screen picture: the title is at
# (70, 10) 501 x 150 in the picture (on 1280 x 1024 at (140, 52) 1002 x 300).
title_brightness() {
  local geometry
  import -window root "$work/screen.png" 2>/dev/null || { echo 0; return; }
  geometry=$(fullscreen_picture $(screen_size) |
    awk '{ s = $1 / 640; printf "%dx%d+%d+%d", 501 * s, 150 * s, $3 + 70 * s, $4 + 10 * s }')
  convert "$work/screen.png" -crop "$geometry" -colorspace Gray -format "%[fx:mean]" info:
}

# A key held for 50 ms, timed inside one xdotool: the game polls its key flags every 20 ms,
# so a bare tap could fall between two polls, and a hold longer than a menu step (120 ms)
# would move the selection twice.
tap() {
  xdotool keydown "$1" sleep 0.05 keyup "$1"
}

# Waits up to 30 s for the title to light up after the logo (about 9.5 s); `what` names it
# in the messages.
wait_for_title() {
  local what=$1 b
  for _ in $(seq 60); do
    kill -0 "$pid" 2>/dev/null || fail "the game ended early"
    b=$(title_brightness)
    if awk -v b="$b" 'BEGIN { exit !(b > 0.02) }'; then
      echo "$what shown (brightness $b)"
      return 0
    fi
    sleep 0.5
  done
  fail "the $what never appeared"
}

# Waits up to 10 s for the game to end and returns its exit status; fails with `message`
# while it still runs.
wait_for_exit() {
  local message=$1
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "$message"
  wait "$pid"
}

# Waits up to `limit` tenths of a second for the game to end; returns 0 when it has, with the
# tenths it took in $took.
ended_within() {
  local limit=$1
  took=0
  while [ "$took" -lt "$limit" ]; do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
    took=$((took + 1))
  done
  kill -0 "$pid" 2>/dev/null && return 1
  return 0
}

# Little-endian numbers for hand-made files.
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }

# A ranking with one entry in it: 2160 bytes, the first score 12345.
write_ranking() {
  { le32 12345; head -c 2156 /dev/zero; } >"$1"
}

# An 8-bit mono wave of `seconds` of silence at `rate` Hz.
write_wave() {
  local file=$1 rate=$2 seconds=$3
  local data=$((rate * seconds))
  {
    printf 'RIFF'; le32 $((36 + data)); printf 'WAVEfmt '; le32 16
    le16 1; le16 1; le32 "$rate"; le32 "$rate"; le16 1; le16 8
    printf 'data'; le32 "$data"
    head -c "$data" /dev/zero | tr '\0' '\200'
  } >"$file"
}

# press_and_settle KEY: taps KEY and waits up to 20 s for the screen to change and then hold
# still, not dark, for 0.3 s: the key was taken and the screen's fade is over. A fixed sleep
# instead loses keys when a loaded machine draws the fades slowly.
press_and_settle() {
  local before=$work/settle.before.png now=$work/settle.now.png again=$work/settle.again.png
  import -window root "$before" || fail "screenshot failed"
  tap "$1"
  for _ in $(seq 50); do
    sleep 0.3
    import -window root "$now" 2>/dev/null || continue
    [ "$(compare -metric AE "$before" "$now" null: 2>&1)" = 0 ] && continue
    awk -v b="$(convert "$now" -colorspace Gray -format "%[fx:mean]" info:)" \
      'BEGIN { exit !(b > 0.005) }' || continue
    sleep 0.3
    import -window root "$again" 2>/dev/null || continue
    [ "$(compare -metric AE "$now" "$again" null: 2>&1)" = 0 ] && return 0
  done
  fail "the screen did not answer $1"
}

# to_the_start_button: from the menu into the selection (x), then down to its start button;
# the caller presses or holds x there.
to_the_start_button() {
  press_and_settle x
  press_and_settle Down
  press_and_settle Down
}
