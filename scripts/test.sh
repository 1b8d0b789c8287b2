#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh -DRV_WERROR=ON -DRV_BUILD_TESTS=ON
cd build
ctest --output-on-failure -j2
