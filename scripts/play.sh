#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
if [ -x build/dist/rv_031 ]; then
  exec build/dist/rv_031
fi
echo "Built into build/dist/. The game program rv_031 is not written yet; try build/dist/rv_sim."
