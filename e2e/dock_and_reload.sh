# End-to-end fragment sourced by scripts/e2e.sh: reload on save (a stand-in editor and Wine's
# Notepad), the help key, and docking beside a stand-in taskbar. Uses e2e.sh's helpers and
# names (drv, step, expect, same, report, start_nokari, close_nokari, wpath, $basic, $basic_w,
# $files, $ini, $exp, $out, $work) and editor_peers.sh's $peer_exe.

window_exe=$root/build/win64/e2e/nokari-window.exe
# Its output without the console's CR.
win() { timeout 30 wine "$window_exe" "$@" | tr -d '\r'; }
help_title='AutoCAD 2023 Developer and ObjectARX ヘルプ | 関数リファレンス(AutoLISP) | AutoLISP'

# stand NAME ARGS...: a nokari-window in the background.
stand() {
  local name=$1
  shift
  (exec wine "$window_exe" show "$@" > "$out/window-$name.log" 2>&1) &
}

# wstep NAME ARGS...: nokari-window does it.
wstep() {
  local name=$1
  shift
  if win "$@" > "$work/got" 2> "$work/err"; then
    ok "$name"
  else
    bad "$name"
    sed 's/^/     /' "$work/got" "$work/err"
  fi
}

# same_rect NAME CLASS "LEFT TOP WIDTH HEIGHT": the window gets there within a few seconds.
same_rect() {
  local got=
  for _ in $(seq 20); do
    got=$(win rect "$2" 2> /dev/null)
    [ "$got" = "$3" ] && break
    sleep 0.2
  done
  same "$1" "$3" "$got"
}

dock_and_reload_suite() {
  echo "== reload on save, the help key, docking"
  cp "$basic" "$work/dock.orig"
  (exec wine "$peer_exe" mery "basic.lsp - Mery" "$(wpath "$work/dock-mery.txt")" \
    > "$out/dock-mery.log" 2>&1) &
  drv --timeout 20 wait-class TChildForm > /dev/null 2>&1
  printf '[Nokari]\r\nTargetEditor=3\r\nJumpCheak=1\r\nReloadCheak=1\r\nLspFullName=%s\r\n' \
    "$basic_w" > "$ini"
  start_nokari

  { cat "$work/dock.orig"; printf '(defun saved (k) (setq m k))\r\n'; } > "$basic"
  report dockvars --vars "$basic"
  wstep "Ctrl+S in the watched editor (Mery's stand-in)" keys TChildForm ctrl+s
  expect "the save reloads the file: the panel shows its new variable check" "$exp/dockvars" \
    text Panel

  drv hold "$(wpath "$basic")" 5 > "$work/dock-held" 2>&1 &
  local holder=$!
  for _ in $(seq 50); do grep -qs held "$work/dock-held" && break; sleep 0.1; done
  wstep "Ctrl+Shift+S while the file is held open" keys TChildForm ctrl+shift+s
  { echo 'ファイル再読み込み...'; for n in 2 3 4 5 6 7 8 9 10; do echo "ファイル使用中... $n"; done
    echo 'ファイル読み込み失敗'; } > "$exp/dockfail"
  expect "a file held throughout: the count, then ファイル読み込み失敗" "$exp/dockfail" text Panel
  wait "$holder"

  drv click ReloadCheck > /dev/null
  cp "$work/dock.orig" "$basic"
  win keys TChildForm ctrl+s > /dev/null
  sleep 1
  expect "Reload unticked: a save changes nothing" "$exp/dockfail" text Panel

  # F1 with this window in front brings the minimized help window up.
  stand help HelpBrowser "$help_title" 40 40 300 200 --minimized
  drv --timeout 20 wait-class HelpBrowser > /dev/null 2>&1
  drv click ReloadCheck > /dev/null  # the keys are watched again
  wstep "F1 in Nokari's window" keys TForm25 f1
  local front=
  for _ in $(seq 20); do
    front=$(win foreground 2> /dev/null)
    [ "$front" = HelpBrowser ] && break
    sleep 0.2
  done
  same "F1: the help window comes to the front" HelpBrowser "$front"

  # Docking beside a stand-in taskbar 40 high at the foot of the 1280 x 1024 screen.
  stand taskbar Shell_TrayWnd "" 0 984 1280 40 --popup
  stand cad BricscadMainWindow "BricsCAD" 100 100 400 300
  drv --timeout 20 wait-class BricscadMainWindow > /dev/null 2>&1
  drv --timeout 20 wait-class Shell_TrayWnd > /dev/null 2>&1
  local w
  w=$(win rect TForm25 | awk '{ print $3 }')
  step "click > (dock right)" click 114
  same_rect "> puts Nokari at the right edge, full height" TForm25 "$((1280 - w)) 0 $w 984"
  local rest="0 0 $((1280 - w)) 984"
  same_rect "> puts the CAD beside it" BricscadMainWindow "$rest"
  same_rect "> puts the editor beside it" TChildForm "$rest"
  same_rect "> puts the help window beside it" HelpBrowser "$rest"
  same "> brings the editor to the front" TChildForm "$(win foreground 2> /dev/null)"
  step "click < (dock left)" click 113
  same_rect "< puts Nokari at the left edge" TForm25 "0 0 $w 984"
  rest="$w 0 $((1280 - w)) 984"
  same_rect "< puts the CAD beside it" BricscadMainWindow "$rest"
  same_rect "< puts the editor beside it" TChildForm "$rest"
  close_nokari "$started"
  for cls in TChildForm HelpBrowser Shell_TrayWnd BricscadMainWindow; do
    drv --timeout 10 close-class "$cls" > /dev/null 2>&1
  done

  # Wine's own Notepad: its Ctrl+S saves, and the save reloads the file here.
  cp "$work/dock.orig" "$files/saved.lsp"
  printf '[Nokari]\r\nTargetEditor=1\r\nJumpCheak=1\r\nReloadCheak=1\r\nLspFullName=%s\r\n' \
    "$(wpath "$files/saved.lsp")" > "$ini"
  (cd "$files" && exec wine notepad saved.lsp > "$out/dock-notepad.log" 2>&1) &
  drv --timeout 20 wait-class Notepad > /dev/null 2>&1
  start_nokari
  drv click CatalogueButton > /dev/null  # something else in the panel
  wstep "Ctrl+S in Wine's Notepad" keys Notepad ctrl+s
  sleep 1
  report notepadvars --vars "$files/saved.lsp"
  expect "Notepad's save reloads the file: the panel shows its variable check" \
    "$exp/notepadvars" text Panel
  close_nokari "$started"
  drv --timeout 10 close-class Notepad > /dev/null 2>&1
  cp "$work/dock.orig" "$basic"
}
