#!/usr/bin/env bash
# Every test: installs what is missing, builds native and Windows, runs the Windows build under
# Wine against the golden outputs and the end-to-end suite of the window, then the unit and
# golden tests of the native build (their summary stays the last thing printed).
#   test.sh        everything
#   test.sh unit   the native build and its tests only: nothing installed, no Wine, and the
#                  tests that need more than the compiler (label "tools") left out
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = unit ]; then
  # Unoptimised, in a folder of its own, only what the tests run: the quickest build to test.
  gen=()
  command -v ninja >/dev/null && gen=(-G Ninja)
  cmake -S "$root" -B "$root/build/unit" "${gen[@]}" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG=-O0 >/dev/null
  cmake --build "$root/build/unit" -j "$(nproc)" --target nokari_tests nokari-check lsp-gen
  cd "$root/build/unit"
  exec ctest --output-on-failure -j "$(nproc)" -LE tools
fi
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

echo "== end-to-end suite: Nokari.exe under Wine"
e2e=0
bash "$root/scripts/e2e.sh" || e2e=$?

echo "== unit and golden tests"
cd "$root/build/native"
ctest --output-on-failure -j "$(nproc)"
exit "$e2e"
