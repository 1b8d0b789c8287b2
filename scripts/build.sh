#!/usr/bin/env bash
# Configures and builds into build/ (the program folder is build/dist/). Extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja "$@"
cmake --build build
