#!/usr/bin/env bash
# Installs the Debian packages of the named set-ups that are missing (as root, or through sudo):
#   setup.sh play        to build and play the game (scripts/play.sh)
#   setup.sh play test   and everything the tests need (scripts/test.sh; the default)
# scripts/deps.sh prints the sets.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
[ $# -gt 0 ] || set -- play test
wanted=()
for set in "$@"; do
  list=$("$here/deps.sh" "$set")
  mapfile -t -O "${#wanted[@]}" wanted <<<"$list"
done
missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
