#!/usr/bin/env bash
# Runs Nokari on FILE. For now: prints the function tree of FILE, as the window lists it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 1 ]; then
  echo "usage: scripts/run.sh FILE" >&2
  exit 2
fi
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh" native >/dev/null
exec "$root/build/native/nokari-check" --tree "$1"
