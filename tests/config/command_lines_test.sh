#!/usr/bin/env bash
# The command lines of the three programs, run without any display: --help and --version
# on standard output with status 0, a line that cannot be understood on standard error with
# the usage and status 2, and rv_sim's commands as they were.
# Usage: command_lines_test.sh <rv_031> <rv_config> <rv_sim>
source "$(dirname "$0")/../support/test_lib.sh"
game=$1
dialog=$2
sim=$3
temp_work_folder
failures=0

# run PROGRAM ARGS...: status in $rc, outputs in $work/out and $work/err. No display is
# reachable, so a program that got past its command line fails differently or hangs (bounded).
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM SDL_VIDEODRIVER=x11 \
    timeout 20 "$@" </dev/null >"$work/out" 2>"$work/err"
  rc=$?
}

# expect WHAT STATUS OUT_FIRST_LINE ERR_FIRST_LINE (a "-" line: that output is empty).
expect() {
  local what=$1 status=$2 out=$3 err=$4
  [ "$rc" -eq "$status" ] || fail "$what: status $rc, not $status"
  if [ "$out" = - ]; then
    [ -s "$work/out" ] && fail "$what: unexpected output: $(head -n 1 "$work/out")"
  elif [ "$(head -n 1 "$work/out")" != "$out" ]; then
    fail "$what: output starts '$(head -n 1 "$work/out")', not '$out'"
  fi
  if [ "$err" = - ]; then
    [ -s "$work/err" ] && fail "$what: unexpected error output: $(head -n 1 "$work/err")"
  elif [ "$(head -n 1 "$work/err")" != "$err" ]; then
    fail "$what: error output starts '$(head -n 1 "$work/err")', not '$err'"
  fi
}

for p in "ravolin|$game|Usage: ravolin [--window] [--volume PERCENT] [--lang LANG]" \
         "ravolin-config|$dialog|Usage: ravolin-config [--lang LANG]"; do
  IFS='|' read -r name bin usage <<<"$p"
  run "$bin" --help
  expect "$name --help" 0 "$usage" -
  grep -qx "  --lang LANG   the language of the game's text: ja (default) or en" "$work/out" ||
    fail "$name --help: no --lang line"
  run "$bin" --version
  expect "$name --version" 0 "$name 0.31" -
  run "$bin" --lang en --help
  expect "$name --lang en --help" 0 "$usage" -
  run "$bin" --lang=en --version
  expect "$name --lang=en --version" 0 "$name 0.31" -
  for bad in "--bogus|unknown option '--bogus'" "extra|unexpected argument 'extra'" \
             "--lang|option '--lang' needs a value" \
             "--lang=e/n|'e/n' is not a language (letters and '_', at most 10)"; do
    IFS='|' read -r arg why <<<"$bad"
    run "$bin" "$arg"
    expect "$name $arg" 2 - "$name: $why"
    grep -qxF "$usage" "$work/err" || fail "$name $arg: no usage on standard error"
  done
done
# A language without its catalogue, or a volume that is no whole number from 0 to 100, by
# option or by variable, is refused before anything else happens: the usage on standard
# error, status 2.
refusals=()
for p in "ravolin|$game" "ravolin-config|$dialog"; do
  for how in "--lang xx" "--lang=xx" "RAVOLIN_LANG=xx"; do
    refusals+=("$p|$how|unknown language 'xx' (known here: ja en)")
  done
done
refusals+=(
  "ravolin|$game|--volume 101|option '--volume' needs a whole number from 0 to 100, not '101'"
  "ravolin|$game|--volume=loud|option '--volume' needs a whole number from 0 to 100, not 'loud'"
  "ravolin|$game|RAVOLIN_VOLUME=-1|RAVOLIN_VOLUME needs a whole number from 0 to 100, not '-1'")
for r in "${refusals[@]}"; do
  IFS='|' read -r name bin how why <<<"$r"
  case $how in
    RAVOLIN_*=*) run env "$how" "$bin" ;;
    *) run "$bin" $how ;;  # word splitting on purpose
  esac
  expect "$name $how" 2 - "$name: $why"
  grep -q "^Usage: $name" "$work/err" || fail "$name $how: no usage on standard error"
done
# The option wins over the variable.
run env RAVOLIN_LANG=xx "$dialog" --lang ja
[ "$rc" -eq 2 ] && grep -q "unknown language" "$work/err" &&
  fail "ravolin-config --lang ja with RAVOLIN_LANG=xx refused the variable's language"

run "$game" --window --help
expect "ravolin --window --help" 0 "Usage: ravolin [--window] [--volume PERCENT] [--lang LANG]" -
run "$dialog" --window
expect "ravolin-config --window" 2 - "ravolin-config: unknown option '--window'"
# Qt's own options stay Qt's.
run "$dialog" -platform offscreen --version
expect "ravolin-config -platform offscreen --version" 0 "ravolin-config 0.31" -
# Past its command line, the dialog without a display ends as before.
run "$dialog"
[ "$rc" -eq 2 ] || fail "ravolin-config without a display: status $rc"
grep -q "Usage" "$work/err" && fail "ravolin-config without a display printed the usage"
# --help output that cannot be written is a failure.
if [ -w /dev/full ]; then
  env -u DISPLAY "$game" --help >/dev/full 2>/dev/null
  [ $? -eq 1 ] || fail "ravolin --help into a full device did not fail"
fi

for a in --help -h; do
  run "$sim" "$a"
  expect "rv_sim $a" 0 "Usage: ravolin-sim COMMAND [ARGUMENTS]" -
  grep -qx "  rank FILE MODE ROUNDS SCORE MOVES TIME" "$work/out" || fail "rv_sim $a: no rank line"
done
run "$sim" --version
expect "rv_sim --version" 0 "ravolin-sim 0.31" -
# A usage error keeps the words rv_sim always had: the problem, then the list of commands.
for c in "--version extra|unexpected argument 'extra'" "--bogus|unknown command '--bogus'" \
         "|no command given"; do
  IFS='|' read -r args why <<<"$c"
  # shellcheck disable=SC2086
  run "$sim" $args
  [ "$rc" -eq 2 ] || fail "rv_sim $args: status $rc, not 2"
  [ -s "$work/out" ] && fail "rv_sim $args: unexpected output"
  first=$(head -n 1 "$work/err")
  case $first in
    "rv_sim: command line: $why; commands: [cpu [--seed N]] [four] "*"[match --mode M "*) ;;
    *) fail "rv_sim $args: error output '$first'" ;;
  esac
done

finish command-line
