#!/usr/bin/env bash
# The real game with neither an X11 nor a Wayland display: it must not run invisibly on an
# off-screen driver. It takes the display-failure exit (its text on standard error, as no
# box can be shown), ends with status 1 and leaves no marker behind.
# Usage: no_display_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"
mkdir -p "$work/runtime"
copy_program_folder "$dist" "$game"

# An empty runtime folder: no Wayland socket to find by its default name either.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$work/runtime" \
  SDL_AUDIODRIVER=dummy timeout 20 "$game/rv_031" >"$log" 2>&1
status=$?
[ "$status" -eq 124 ] && fail "the game ran on without a display"
[ "$status" -eq 1 ] || fail "the game ended with status $status"
grep -q 'Ravolin: Ravolinの起動に失敗しました！' "$log" ||
  fail "the display-failure text is not on standard error"
[ -e "$game/rvdat.cck" ] && fail "the marker was left behind"
echo "PASS"
