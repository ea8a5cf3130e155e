#!/usr/bin/env bash
# Every test: installs what is missing, builds native and Windows, runs the Windows build under
# Wine against the golden outputs, then the unit and golden tests of the native build.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh" all

echo "== nokari-check.exe under Wine on the golden inputs"
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/nokari-wine.XXXXXX)
export WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
cleanup() { wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT
wineboot -i >/dev/null 2>&1 || true
bash "$root/scripts/golden.sh" check "$root/build/win64/nokari-check.exe" wine

echo "== unit and golden tests"
cd "$root/build/native"
ctest --output-on-failure -j "$(nproc)"
