#!/usr/bin/env bash
# Builds Nokari and runs Nokari.exe under Wine with FILE opened: the program folder build/run/
# holds the exe, the built-in function list and the INI whose LspFullName names FILE, so the
# program reopens it at start. Without FILE, the INI's last file opens. The INI, the history and
# the exclusion list stay in build/run/ between runs.
#   With a display ($DISPLAY set): the window shows there; the script ends when it is closed.
#   Without one: the program runs under Xvfb; the script waits for the window, saves a
#   screenshot, prints its path, closes the program and stops.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/e2e/wine_session.sh"
if [ $# -gt 1 ] || [ "${1:-}" = -h ] || [ "${1:-}" = --help ]; then
  echo "usage: scripts/run.sh [FILE.lsp]" >&2
  exit 2
fi
file=
if [ $# -eq 1 ]; then
  [ -f "$1" ] || { echo "run.sh: no such file: $1" >&2; exit 2; }
  file=$(readlink -f "$1")
fi

bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh" win64 >/dev/null

run=$root/build/run
mkdir -p "$run"
cp -f "$root/build/win64/Nokari.exe" "$run/"
[ -f "$root/data/AutoLispFuncList.txt" ] && cp -f "$root/data/AutoLispFuncList.txt" "$run/"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
headless=0
[ -n "${DISPLAY:-}" ] || headless=1
# One prefix per kind of display: without a window manager Wine draws the title bars itself.
export WINEPREFIX=$run/wineprefix
[ "$headless" -eq 1 ] && WINEPREFIX=$run/wineprefix-xvfb

XVFB_PID=
cleanup() {
  if [ "$headless" -eq 1 ]; then
    timeout 20 wineserver -k >/dev/null 2>&1 || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  fi
}
trap cleanup EXIT
if [ "$headless" -eq 1 ]; then
  start_xvfb
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run.sh: preparing the Wine prefix $WINEPREFIX"
  timeout 300 wineboot -i >/dev/null 2>&1 || true
  if [ "$headless" -eq 1 ]; then
    timeout 30 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  fi
fi
if [ -n "$file" ]; then
  ini_set "$run/Nokari.ini" LspFullName "$(timeout 30 winepath -w "$file")"
fi

cd "$run"
if [ "$headless" -eq 0 ]; then
  wine Nokari.exe
  exit
fi
driver=$root/build/win64/e2e/nokari-e2e.exe
timeout 30 wine "$driver" pointer 1 1 >/dev/null 2>&1 || true  # no hover in the screenshot
wine Nokari.exe > "$run/nokari.log" 2>&1 &
if ! timeout 90 wine "$driver" --timeout 60 wait; then
  echo "run.sh: the window did not show (see $run/nokari.log)" >&2
  exit 1
fi
timeout 30 import -window root "$run/nokari.png"
echo "screenshot: $run/nokari.png"
timeout 30 wine "$driver" --timeout 20 close || true
