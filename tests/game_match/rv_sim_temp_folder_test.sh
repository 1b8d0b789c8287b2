#!/usr/bin/env bash
# The clean-up of rv_sim match's temporary program folders removes only folders that a killed
# run of this user left: never the --dir folder, a folder of a similar name made by hand, a
# copy of one of ours, a link, or (as root) another user's folder.
. "$(dirname "$0")/rv_sim_checks.sh"
tmp="$work/tmp"
mkdir "$tmp"

# A folder left by a run killed in the middle of its match, moved to $tmp/$1 (a rename keeps
# it the same folder).
killed_run_folder() {
  local stage="$work/stage" pid folder=""
  rm -rf "$stage" && mkdir "$stage"
  TMPDIR="$stage" "$sim" match --mode 1 --rounds 9 --seed 1 >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 1000); do
    folder=$(find "$stage" -mindepth 2 -maxdepth 2 -name rvdat.cck -printf '%h\n' | head -1)
    [ -n "$folder" ] && break
    sleep 0.01
  done
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if [ -z "$folder" ] || ! mv "$folder" "$tmp/$1"; then fail "no folder of a running match to kill"; fi
}

# What must stay, each with a file of its own.
mkdir "$tmp/rv_match_results" "$tmp/rv_match_Ab12Cd" "$work/victim"
"$sim" rank "$tmp/rv_match_results/rvdat.dat" 0 1 500 10 100 >/dev/null
echo notes >"$tmp/rv_match_results/notes.txt"
echo made by hand >"$tmp/rv_match_Ab12Cd/notes.txt"
echo linked >"$work/victim/notes.txt"
ln -s "$work/victim" "$tmp/rv_match_Link01"
killed_run_folder rv_match_Copy01.original
cp -a "$tmp/rv_match_Copy01.original" "$tmp/rv_match_Copy01"
rm -rf "$tmp/rv_match_Copy01.original"
kept=(rv_match_results rv_match_Ab12Cd rv_match_Link01 rv_match_Copy01)
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
  killed_run_folder rv_match_Other1
  chown -R -h nobody "$tmp/rv_match_Other1"
  kept+=(rv_match_Other1)
else
  echo "skipped: another user's folder (not root)"
fi
# What must go: a folder a killed run of ours left.
killed_run_folder rv_match_Stale1

listing() { (cd "$1" && find . -path ./rv_match_Stale1 -prune -o -print | sort) && find "$work/victim" | sort; }
listing "$tmp" >"$work/before"
TMPDIR="$tmp" timeout 60 "$sim" match --mode 0 --rounds 1 --seed 3 --player greedy \
  --dir "$tmp/rv_match_results" >"$work/out" 2>"$work/err"
rc=$?
[ "$rc" -eq 0 ] || fail "the run with --dir $tmp/rv_match_results: status $rc: $(cat "$work/err")"
grep -qx 'place 1' "$work/out" || fail "the result did not enter: $(tr '\n' ' ' <"$work/out")"
for name in "${kept[@]}"; do
  [ -e "$tmp/$name" ] || [ -L "$tmp/$name" ] || fail "$name was removed"
done
listing "$tmp" >"$work/after"
# The only change among what stays: the result in the --dir ranking and the game's lock file.
diff "$work/before" "$work/after" | grep '^[<>]' | grep -v '^> ./rv_match_results/rv_031.lock$' \
  >"$work/changes"
[ -s "$work/changes" ] && fail "files that must stay changed: $(tr '\n' ' ' <"$work/changes")"
[ -e "$tmp/rv_match_Stale1" ] && fail "the folder of the killed run is still there"
[ "$(od -An -t d4 -N 4 "$tmp/rv_match_results/rvdat.dat" | tr -d ' ')" = \
  "$(sed -n 's/^score //p' "$work/out")" ] ||
  fail "the --dir ranking does not hold the result at place 1"
echo "checked ${#kept[@]} folders that must stay and one that must go"

finish "rv_sim temporary folder"
