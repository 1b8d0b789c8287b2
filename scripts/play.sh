#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh -DRV_BUILD_TESTS=OFF   # the programs only; the test command builds the tests
exec build/dist/rv_031
