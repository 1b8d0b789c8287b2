#!/usr/bin/env bash
# The two set-ups' lists as scripts/deps.sh reads them from debian/control and
# scripts/test-deps.txt: the player's set holds what the build and the game need and none of
# the test tools; each package has one place. Then made-up control files, each with the sets
# deps.sh must print, or its refusal.
# Usage: setup_lists_test.sh <deps.sh> <debian/control> <scripts/test-deps.txt>
source "$(dirname "$0")/../support/test_lib.sh"
deps=$1
control=$2
extra=$3
temp_work_folder

"$deps" play >"$work/play" || fail "deps.sh play failed"
"$deps" test >"$work/test" || fail "deps.sh test failed"
for need in cmake ninja-build g++ gettext libsdl2-mixer-dev libmp3lame-dev qt6-base-dev \
            fonts-ipafont-gothic fonts-dejavu-core qt6-qpa-plugins; do
  grep -qx "$need" "$work/play" || fail "the player's set lacks $need"
done
# The tools a player never uses.
for tool in xvfb xdotool imagemagick lintian clang-14 llvm-14 clang-tidy-14 libclang-rt-14-dev \
            libgtest-dev sox debhelper autopkgtest; do
  grep -qx "$tool" "$work/play" && fail "the player's set holds the test tool $tool"
  grep -qx "$tool" "$work/test" || fail "the test set lacks $tool"
done
# Every <!nocheck> build dependency and every name of test-deps.txt is in the test set.
{ grep -v '^#' "$control" | grep '<!nocheck>' | sed 's/^ *//; s/[ ,(<].*//'
  grep -v '^\s*#' "$extra" | grep -v '^\s*$'; } | while read -r name; do
  grep -qx "$name" "$work/test" || fail "$name is missing from the test set"
done || exit 1
[ -z "$(sort "$work/play" "$work/test" | uniq -d)" ] || fail "a name in both sets"

# Made-up files: the control's Build-Depends and Depends, test-deps.txt's lines, and the
# play and test sets expected (or "refused").
check() {
  local name=$1 build=$2 depends=$3 extras=$4 want_play=$5 want_test=$6
  printf 'Source: x\n# a comment, cmake,\nBuild-Depends:\n%s\nStandards-Version: 4.6.2\n\nPackage: x\nDepends:\n%s\nDescription: x\n y, z\n' \
    "$build" "$depends" >"$work/control"
  printf '%s\n' "$extras" >"$work/extra"
  local got_play got_test
  got_play=$(RV_DEPS_CONTROL=$work/control RV_DEPS_EXTRA=$work/extra "$deps" play 2>/dev/null) \
    || got_play=refused
  got_test=$(RV_DEPS_CONTROL=$work/control RV_DEPS_EXTRA=$work/extra "$deps" test 2>/dev/null) \
    || got_test=refused
  got_play=$(echo $got_play)
  got_test=$(echo $got_test)
  [ "$got_play" = "$want_play" ] || fail "$name: play set '$got_play', not '$want_play'"
  [ "$got_test" = "$want_test" ] || fail "$name: test set '$got_test', not '$want_test'"
}
check "versions, alternatives and architectures" \
  ' debhelper-compat (= 13), cmake (>= 3.25),
 g++ (>= 4:12) | clang, libfoo-dev [amd64 arm64],
 xvfb <!nocheck>, libgtest-dev (>= 1.12) [amd64] <!nocheck>,' \
  ' ${shlibs:Depends}, ${misc:Depends}, fonts-x,' \
  '# a comment
clang-14' \
  "cmake g++ libfoo-dev fonts-x" "debhelper xvfb libgtest-dev clang-14"
check "built with and depended on: one set, printed once" \
  ' fonts-x, cmake,' ' fonts-x,' '' "fonts-x cmake" ""
check "both for the build and only for the tests" \
  ' cmake, xvfb <!nocheck>, cmake <!nocheck>,' '' '' refused refused
check "in debian/control and in test-deps.txt" \
  ' cmake, xvfb <!nocheck>,' '' 'xvfb' refused refused
check "twice in test-deps.txt" \
  ' cmake,' '' 'sox
sox' refused refused
echo "PASS"
