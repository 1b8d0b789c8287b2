#!/usr/bin/env bash
# A real run of rv_config on an X server (started by xvfb-run): the window appears with its
# title, keys move the slider, 適用 saves and keeps the window, OK saves and ends the program,
# and a second copy is refused meanwhile. Usage: xvfb_keys_test.sh path/to/rv_config
# With RV_SHOT_DIR set, screenshots of the window go there.
set -euo pipefail

binary="$1"
work="$(mktemp -d /tmp/rv_config_xvfb.XXXXXX)"
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/../support/test_lib.sh"
cfg_bytes() { od -An -tx1 "$work/rvdat.cfg" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//'; }
shot() {
  if [ -n "${RV_SHOT_DIR:-}" ] && command -v import >/dev/null; then
    import -window root "$RV_SHOT_DIR/$1.png"
  fi
}
keys() {
  xdotool windowfocus --sync "$wid"
  for k in "$@"; do xdotool key "$k"; sleep 0.15; done
}

# A folder of its own is the program folder; the working folder is elsewhere.
cp "$binary" "$work/rv_config"
printf '\001\000' > "$work/rvdat.cfg"
cd /tmp
export QT_QPA_PLATFORM=xcb
export RV_CONFIG_BOXES_TO_STDERR=1   # an unexpected box must not wait for a click
"$work/rv_config" 2> "$work/stderr.txt" &
pid=$!

wid="$(timeout 20 xdotool search --sync --name 'Ravolin' | head -n 1)" || fail "no window appeared"
title="$(xdotool getwindowname "$wid")"
[ "$title" = "Ravolinコンフィグ" ] || fail "title is '$title'"
sleep 0.5
shot rv_config_start

# A second copy is refused while this one runs.
set +e
"$work/rv_config" 2> "$work/second.txt"
status=$?
set -e
[ "$status" -eq 1 ] || fail "second copy ended with $status"
grep -q '起動エラー' "$work/second.txt" || fail "second copy gave no refusal"

# 適用 has the focus; four Tabs reach the slider, Right moves it from 1 to 2, Tab goes back
# to 適用 and Space presses it.
keys Tab Tab Tab Tab Right
shot rv_config_moved
keys Tab space
sleep 0.3
[ "$(cfg_bytes)" = "02 00" ] || fail "after 適用 the file holds $(cfg_bytes)"
kill -0 "$pid" 2>/dev/null || fail "適用 closed the window"
shot rv_config_applied

# Back to the slider (Shift+Tab), Right to 3, then Tab Tab Tab Tab to OK and Return.
keys shift+Tab Right Tab Tab Tab Tab Return
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "OK did not end the program"
set +e
wait "$pid"
status=$?
set -e
pid=""
[ "$status" -eq 0 ] || fail "rv_config ended with $status: $(cat "$work/stderr.txt")"
[ "$(cfg_bytes)" = "03 00" ] || fail "after OK the file holds $(cfg_bytes)"
echo "rv_config under X: title, keys, 適用, OK and the refusal all behaved"
