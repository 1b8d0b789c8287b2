#!/usr/bin/env bash
# Runs inside xvfb-run on a 1280x1024 screen. Installs the build into a temporary prefix and
# plays the installed game as a player with a home of their own would: the menu appears, the
# ranking, setting, marker and locks go to $XDG_DATA_HOME/ravolin and nothing into the
# prefix through a match, and the installed dialog refuses to start while the game runs.
# (That a finished match ranks in the per-user folder is shown headless by the shell tests.) Also validates the menu entries
# and the AppStream data.
# Usage: installed_game_test.sh <build folder> <work folder>
set -u
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
home=$work/home
data=$home/xdg/ravolin
log=$work/game.log
app=io.github.ravolin.Ravolin
mkdir -p "$home"
source "$(dirname "$0")/../game_window/game_window_lib.sh"

# Stripped, as the package is: debug information names the build folder, nothing else may.
cmake --install "$build" --prefix "$prefix" --strip >"$work/install.log" || fail "install failed"
for f in bin/ravolin bin/ravolin-config bin/ravolin-sim lib/games/ravolin/rv_031 lib/games/ravolin/rv_config \
         lib/games/ravolin/rv_message \
         lib/games/ravolin/mpng.so lib/games/ravolin/Picture/pic10.dat lib/games/ravolin/Wave/wave4.dat \
         lib/games/ravolin/Music/ravolin.mp3 lib/games/ravolin/locale/en/LC_MESSAGES/ravolin.mo share/applications/$app.desktop \
         share/applications/$app.Config.desktop share/metainfo/$app.metainfo.xml \
         share/icons/hicolor/48x48/apps/$app.png share/icons/hicolor/128x128/apps/$app.png \
         share/icons/hicolor/256x256/apps/$app.png share/icons/hicolor/scalable/apps/$app.svg \
         share/man/man6/ravolin.6.gz share/man/man6/ravolin-config.6.gz \
         share/man/man6/ravolin-sim.6.gz share/doc/ravolin/copyright share/doc/ravolin/changelog.gz; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done
# Nothing of the build folder is named by the installed tree.
grep -rl --binary-files=text "$build" "$prefix" && fail "the installed tree names the build folder"

desktop-file-validate "$prefix/share/applications/$app.desktop" \
  "$prefix/share/applications/$app.Config.desktop" || fail "desktop entries do not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" \
  || fail "AppStream data does not validate"
echo "entries and AppStream data valid"

# The prefix as installed; it must look the same after the game has run.
(cd "$prefix" && find . -printf '%p %s %m\n' | sort) >"$work/prefix.before"

export HOME=$home XDG_DATA_HOME=$home/xdg SDL_AUDIODRIVER=dummy

# Started by its launcher from another working folder, as a menu entry starts it.
(cd / && exec "$prefix/bin/ravolin") >"$log" 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Ravolin Ver ' | head -n 1)
[ -n "$wid" ] || fail "the installed game opened no window"
[ -e "$data/rvdat.cck" ] || fail "no running marker in $data"
[ "$(stat -c %a "$data")" = 700 ] || fail "$data is not mode 700"
[ "$(od -An -tx1 "$data/rvdat.cfg" | tr -d ' ')" = 0100 ] || fail "rvdat.cfg not seeded as 01 00"

# The installed dialog finds the game's marker and lock in the same folder.
QT_QPA_PLATFORM=offscreen RV_CONFIG_BOXES_TO_STDERR=1 timeout 20 "$prefix/bin/ravolin-config" \
  >"$work/config.log" 2>&1
status=$?
[ "$status" -eq 1 ] || fail "the installed dialog started beside the game (status $status)"
grep -q "起動エラー" "$work/config.log" || fail "the dialog's refusal box is missing"
echo "the installed dialog refused while the game runs"

wait_for_title menu
sleep 0.5

# Into a match (weakest computer, one round) with X held: the player drops a block at the
# start of every turn. The game then leaves from inside the match.
timeout 5 xdotool windowfocus --sync "$wid" || fail "cannot focus the window"
to_the_start_button
xdotool keydown x
sleep 20
xdotool keyup x
kill -0 "$pid" 2>/dev/null || fail "the game ended during the match"
import -window root "$work/match.png" 2>/dev/null
[ -e "$data/rvdat.dat" ] || fail "no ranking file in $data"

tap Escape
wait_for_exit "the game did not end on Escape"
status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status"
[ -e "$data/rvdat.cck" ] && fail "the running marker is still there"

(cd "$prefix" && find . -printf '%p %s %m\n' | sort) >"$work/prefix.after"
diff "$work/prefix.before" "$work/prefix.after" || fail "the game wrote into the prefix"
echo "PASS"
