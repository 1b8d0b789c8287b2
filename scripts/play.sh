#!/usr/bin/env bash
# Installs what building and playing need and is missing (the build dependencies of
# debian/control without the tests' tools: scripts/deps.sh play), builds, and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh play
scripts/build.sh -DRV_BUILD_TESTS=OFF   # the programs only; the test command builds the tests
exec build/dist/rv_031
