#!/usr/bin/env bash
# rv_sim and the files it is handed: lines of any whitespace, links to things that are not
# regular files, a ranking handed back to a full disk, broken catalogues, and the temporary
# program folders of runs killed at random moments.
. "$(dirname "$0")/rv_sim_checks.sh"

# Lines of only whitespace are blank lines, in every command that reads standard input: no
# crash, the same answer as without them, or one error line and status 2.
blank=$' \v\f \t'
empty_row='........................................'
{ printf '%s\n\v\n' "$blank"; echo board; for _ in $(seq 1 29); do echo "$empty_row"; done; } \
  >"$work/position"
for cmd in "four" "cpu --seed 1" "settle none"; do
  # shellcheck disable=SC2086
  "$sim" $cmd <"$work/position" >"$work/out" 2>"$work/err"
  rc=$?
  [ "$rc" -eq 0 ] || fail "$cmd: status $rc on a position after whitespace lines: $(cat "$work/err")"
  printf '\v\n\f\n%s\n' "$blank" | "$sim" $cmd >/dev/null 2>"$work/err"
  rc=$?
  [ "$rc" -eq 2 ] && [ "$(wc -l <"$work/err")" -eq 1 ] ||
    fail "$cmd: status $rc and $(wc -l <"$work/err") stderr lines on whitespace alone"
done
printf '%s\nmode 1\n\f\n60000 W 10\n' "$blank" | "$sim" score >"$work/out" 2>"$work/err" ||
  fail "score: status $? after whitespace lines: $(cat "$work/err")"
printf '\v\n' | "$sim" score >/dev/null 2>"$work/err"
rc=$?
[ "$rc" -eq 2 ] || fail "score: status $rc on a whitespace line"

# A ranking that is a link to a FIFO, a folder or (as root) a device is refused by name,
# before a byte is written, and the thing behind the link stays what it was.
mkfifo "$work/fifo"
mkdir "$work/folder"
targets=(fifo folder)
if [ "$(id -u)" -eq 0 ] && mknod "$work/device" c 1 3 2>/dev/null; then targets+=(device); fi
for t in "${targets[@]}"; do
  kind_before=$(stat -c %F "$work/$t")
  ln -sfn "$work/$t" "$work/link.dat"
  timeout 10 "$sim" rank "$work/link.dat" 0 1 5000 10 100 >/dev/null 2>"$work/err"
  rc=$?
  [ "$rc" -eq 1 ] || fail "rank through a link to a $t: status $rc"
  grep -q "not a regular file" "$work/err" || fail "rank through a link to a $t: $(cat "$work/err")"
  [ "$(stat -c %F "$work/$t")" = "$kind_before" ] || fail "the $t behind the link was replaced"
  mkdir -p "$work/m_$t" && ln -sfn "$work/$t" "$work/m_$t/rvdat.dat"
  timeout 20 "$sim" match --mode 0 --rounds 3 --seed 9 --player greedy --dir "$work/m_$t" \
    >/dev/null 2>"$work/err"
  rc=$?
  [ "$rc" -eq 1 ] || fail "match --dir with rvdat.dat linked to a $t: status $rc"
  [ "$(stat -c %F "$work/$t")" = "$kind_before" ] || fail "match replaced the $t behind the link"
done

# The ranking handed back to a folder on a full disk: the old file stays whole, and the
# failure is said on standard output as well. Needs a private mount (root, unshare).
"$sim" match --mode 0 --rounds 3 --seed 9 --player greedy --dir "$work/old" >/dev/null
mkdir "$work/small"
if unshare -m true 2>/dev/null; then
  unshare -m bash -c '
    mount -t tmpfs -o size=16k tmpfs "$1/small" || exit 3
    cp "$1/old/rvdat.dat" "$1/small/rvdat.dat"
    dd if=/dev/zero of="$1/small/fill" bs=1k count=64 2>/dev/null
    "$2" match --mode 0 --rounds 3 --seed 1 --player greedy --dir "$1/small" >"$1/full.out" 2>&1
    echo $? >"$1/full.rc"
    cp "$1/small/rvdat.dat" "$1/after.dat"
  ' _ "$work" "$sim"
  if [ -e "$work/full.rc" ]; then
    [ "$(cat "$work/full.rc")" -eq 1 ] || fail "a full disk: status $(cat "$work/full.rc")"
    grep -q "^error the ranking was not saved" "$work/full.out" ||
      fail "a full disk: no failure on stdout: $(cat "$work/full.out")"
    cmp -s "$work/old/rvdat.dat" "$work/after.dat" || fail "a full disk changed the old ranking"
  else
    echo "skipped: no tmpfs could be mounted"
  fi
else
  echo "skipped: no private mount (not root)"
fi

# The catalogue of the language asked for (--lang over RAVOLIN_LANG) is read beside rv_sim: a
# broken or oversized one fails the run, named where it lies (not in the temporary folder), in
# the game's own words; an unknown language is a bad command line. A copy of rv_sim with the
# real assets and a locale folder of its own, holding a good, a damaged and a 600 MB catalogue.
dist=$(cd "$(dirname "$sim")" && pwd)
prog="$work/prog"
mkdir -p "$prog/locale/de/LC_MESSAGES" "$prog/locale/fr/LC_MESSAGES"
cp "$sim" "$prog/rv_sim"
for name in Picture Wave Music mpng.so; do ln -s "$dist/$name" "$prog/$name"; done
cp "$dist/rvdat.cfg" "$prog/rvdat.cfg"
cp -r "$dist/locale/en" "$prog/locale/en"
de="$prog/locale/de/LC_MESSAGES/ravolin.mo"
fr="$prog/locale/fr/LC_MESSAGES/ravolin.mo"
echo "not a catalogue" >"$de"
truncate -s 600M "$fr"
# RAVOLIN_LANG | --lang | status | standard error, whole (empty for status 0)
catalogue_cases=(
  "de||1|rv_sim: match: $de: not a compiled message catalogue (.mo)"
  "|de|1|rv_sim: match: $de: not a compiled message catalogue (.mo)"
  "en|fr|1|rv_sim: match: $fr: 629145600 bytes, larger than any catalogue (at most 1048576 bytes)"
  "de|en|0|"
  "de|ja|0|"
  "xx||2|rv_sim: command line: unknown language 'xx' (known here: ja de en fr)"
  "en|xx|2|rv_sim: command line: unknown language 'xx' (known here: ja de en fr)"
)
for c in "${catalogue_cases[@]}"; do
  IFS='|' read -r variable lang status expected <<<"$c"
  args=(match --mode 0 --rounds 1 --seed 3 --player greedy)
  [ -n "$lang" ] && args+=(--lang "$lang")
  RAVOLIN_LANG="$variable" timeout 60 "$prog/rv_sim" "${args[@]}" \
    >/dev/null 2>"$work/err"
  rc=$?
  [ "$rc" -eq "$status" ] || fail "RAVOLIN_LANG=$variable --lang $lang: status $rc, not $status"
  [ "$(cat "$work/err")" = "$expected" ] ||
    fail "RAVOLIN_LANG=$variable --lang $lang: stderr '$(cat "$work/err")', not '$expected'"
done

# The match goes through the game's own start-up, which refuses a folder without its setting.
rm "$prog/rvdat.cfg"
timeout 60 "$prog/rv_sim" match --mode 0 --rounds 1 --seed 3 >/dev/null 2>"$work/err"
rc=$?
[ "$rc" -eq 1 ] && grep -qx 'rv_sim: match: 起動エラー２: .*足りません！' "$work/err" ||
  fail "no setting beside rv_sim: status $rc, stderr '$(cat "$work/err")'"

# Runs killed at random moments leave their temporary program folders behind; the next
# run removes them, and its own, so that they cannot pile up.
mkdir "$work/tmp"
kills=0
for i in $(seq 1 20); do
  TMPDIR="$work/tmp" "$sim" match --mode 1 --rounds 9 --seed "$i" >/dev/null 2>&1 &
  pid=$!
  sleep "$(awk -v i="$i" 'BEGIN { srand(i); printf "%.3f", 0.01 + rand() * 0.1 }')"
  kill -9 "$pid" 2>/dev/null && kills=$((kills + 1))
  wait "$pid" 2>/dev/null
  # Without the clean-up each kill would leave one more; with it, one at most is there.
  n=$(find "$work/tmp" -maxdepth 1 -name 'rv_match_*' | wc -l)
  [ "$n" -le 1 ] || fail "$n temporary folders after kill $i"
done
left=$(find "$work/tmp" -maxdepth 1 -name 'rv_match_*' | wc -l)
TMPDIR="$work/tmp" "$sim" match --mode 1 --rounds 1 --seed 1 >/dev/null 2>&1 ||
  fail "a run after the kills failed"
after=$(find "$work/tmp" -maxdepth 1 -name 'rv_match_*' | wc -l)
echo "temporary folders: $left after $kills kills, $after after the next run"
[ "$kills" -ge 10 ] || fail "only $kills runs were still running when killed"
[ "$after" -eq 0 ] || fail "$after temporary folders left after a complete run"
# A set-up that fails (no such assets beside rv_sim's copy) leaves nothing either.
mkdir "$work/bare"
cp "$sim" "$work/bare/rv_sim"
TMPDIR="$work/tmp" "$work/bare/rv_sim" match --mode 0 --rounds 1 --seed 1 >/dev/null 2>&1
[ "$(find "$work/tmp" -maxdepth 1 -name 'rv_match_*' | wc -l)" -eq 0 ] ||
  fail "a failed set-up left its folder"

finish "rv_sim file"
