#!/usr/bin/env bash
# Installs what is missing (the player's set and the test set: scripts/deps.sh), builds with
# warnings as errors, and runs every test; then runs the rules, drawing, game, sound and
# stored-file tests again under the address and undefined-behaviour sanitizers, the sound
# tests under the thread sanitizer, the fuzzers briefly, and builds and checks the Debian
# packages. This whole suite is what CI runs.
#   --quick       only the build's own tests: no sanitizer builds, no fuzzing, no packages
#   --room NAME   only the build's tests of one room, those labelled NAME (the rooms are
#                 RV_TEST_ROOMS in cmake/RavolinHelpers.cmake)
set -euo pipefail
cd "$(dirname "$0")/.."
usage() {
  echo "usage: scripts/test.sh [--quick | --room NAME]" >&2
  exit 2
}
mode=all
case "$#:${1:-}" in
  0:) ;;
  1:--quick) mode=quick ;;
  2:--room) mode=room ;;
  *) usage ;;
esac
scripts/setup.sh play test
scripts/build.sh -DRV_WERROR=ON -DRV_BUILD_TESTS=ON
if [ "$mode" = room ]; then
  exec ctest --test-dir build --output-on-failure -j2 --no-tests=error -L "^$2\$"
fi
ctest --test-dir build --output-on-failure -j2
[ "$mode" = all ] || exit 0

sanitized=(rv_board_tests rv_cpu_tests rv_ranking_tests rv_config_file_tests rv_gfx_tests
           rv_game_match_tests rv_game_ranking_tests rv_sound_tests rv_storage_tests)
cmake -S . -B build-asan -G Ninja -DRV_WERROR=ON -DRV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan --target assets mpng "${sanitized[@]}"
label_regex="^($(IFS='|'; echo "${sanitized[*]}"))\$"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2 -L "$label_regex"

# The sound tests again under ThreadSanitizer: the mixer's audio thread and the game's
# thread share the players' state.
cmake -S . -B build-tsan -G Ninja -DRV_WERROR=ON -DRV_SANITIZE_THREAD=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-tsan --target assets mpng rv_sound_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j2 -L '^rv_sound_tests$'

# Every reader of outside bytes, fuzzed for a few seconds each in a clang build of its own
# (build-fuzz/), after replaying the inputs that once broke one.
scripts/fuzz.sh --brief 5

# The Debian packages as a distribution builds them: dpkg-buildpackage over a copy of the
# tree, without the tests (they ran above: nocheck). Then what the binary package holds,
# lintian over the source and binary packages, the tests of the installed package
# (debian/tests, autopkgtest's null runner: this machine is the testbed), and a second build
# elsewhere, later and otherwise set up, which must give the same bytes.
packages=build/packages
export DEB_BUILD_OPTIONS="nocheck parallel=2"
bash tests/install/build_package.sh "$packages/first"
bash tests/install/deb_package_test.sh "$packages/first" "$packages/deb_package"
bash tests/install/lintian_test.sh "$packages/first" "$packages/lintian"
bash tests/install/autopkgtest_test.sh "$packages/first" "$packages/autopkgtest"
bash tests/install/reproducible_test.sh "$packages/first" "$packages/second"
