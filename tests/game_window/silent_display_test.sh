#!/usr/bin/env bash
# A display that accepts the connection and never answers: the game's start-up waits in its
# connect, with the running marker already made. SIGTERM and SIGINT must still end it, within
# 3 s, with the marker removed.
# Usage: silent_display_test.sh <program folder of the build> <work folder>
source "$(dirname "$0")/game_window_lib.sh"
begin_window_test "$1" "$2"
mkdir -p "$work/runtime"
pid=
listener=

on_fail() {
  [ -n "$listener" ] && kill "$listener" 2>/dev/null
}

# A TCP port that takes connections into its backlog and never reads: X display 6000 + n.
for n in $(seq 91 130); do
  perl -MIO::Socket::INET -e '
    my $s = IO::Socket::INET->new(LocalAddr => "127.0.0.1", LocalPort => 6000 + $ARGV[0],
                                  Listen => 16, ReuseAddr => 1) or exit 3;
    $| = 1; print "listening\n"; sleep 600;' "$n" >"$work/listener.out" 2>&1 &
  listener=$!
  for _ in $(seq 20); do
    grep -q listening "$work/listener.out" 2>/dev/null && break
    kill -0 "$listener" 2>/dev/null || break
    sleep 0.1
  done
  grep -q listening "$work/listener.out" 2>/dev/null && break
  listener=
done
[ -n "$listener" ] || fail "no free port for the silent display"
display=127.0.0.1:$n

for sig in TERM INT; do
  copy_program_folder "$dist" "$work/game"
  # A background job would get SIGINT ignored; the game is started as from a terminal.
  env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY="$display" XDG_RUNTIME_DIR="$work/runtime" \
    SDL_AUDIODRIVER=dummy env --default-signal=INT "$work/game/rv_031" >"$log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    [ -e "$work/game/rvdat.cck" ] && break
    sleep 0.1
  done
  [ -e "$work/game/rvdat.cck" ] || fail "no running marker before the window"
  sleep 1  # inside the connect that never gets an answer
  kill -0 "$pid" 2>/dev/null || fail "the game did not wait for the display"
  kill -s "$sig" "$pid"
  ended_within 30 || fail "the game still runs 3 s after SIG$sig"
  wait "$pid"
  status=$?
  [ -e "$work/game/rvdat.cck" ] && fail "the running marker stayed after SIG$sig"
  echo "SIG$sig while the display is silent: ended in ${took}00 ms, status $status, marker gone"
  pid=
done
kill "$listener" 2>/dev/null
echo "PASS"
