# End-to-end fragment sourced by scripts/e2e.sh: the CAD buttons against a stand-in for a
# running AutoCAD in another process (build/win64/e2e/nokari-automation-peer.exe), reached
# through automation only: its window has none of the classes or titles the window searches
# look for, and it records only the command texts its document object receives. Then the
# failures and the references of the Win32 automation against a fake object in the same
# process (build/win64/e2e/nokari-automation-check.exe).
# Uses e2e.sh's helpers and names: drv, step, file_holds, same, ok, bad, start_nokari, close_nokari, wpath,
# $basic_w, $ini, $out, $work, $started.

automation_exe=$root/build/win64/e2e/nokari-automation-peer.exe
automation_check_exe=$root/build/win64/e2e/nokari-automation-check.exe
automation_class=NokariAutomationPeer

# automation_front: the class of the window in front.
automation_front() { timeout 30 wine "$automation_exe" --foreground 2>/dev/null | tr -d '\r'; }

automation_suite() {
  # The running object table lives in Wine's rpcss service, started on first use. In the
  # session that created the prefix the service manager runs twice over and cannot start it
  # (StartService: ERROR_SERVICE_DATABASE_LOCKED); a session of its own starts it cleanly.
  timeout 60 wineserver -w
  automation_peer_suite
  automation_check_suite
}

automation_peer_suite() {
  echo "== CAD automation: a stand-in for a running AutoCAD in another process"
  if [ ! -f "$automation_exe" ]; then
    bad "missing ${automation_exe#"$root"/} (run scripts/build.sh)"
    return
  fi
  local rec=$work/automation-record.txt log=$out/automation-peer.log pid want front
  rm -f "$rec"
  (exec wine "$automation_exe" "$(wpath "$rec")" > "$log" 2>&1) &
  pid=$!
  for _ in $(seq 100); do
    grep -q '^running' "$log" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if ! grep -q '^running' "$log" 2>/dev/null; then
    bad "the stand-in registers its automation objects and runs"
    sed 's/^/     /' "$log"
    kill "$pid" 2>/dev/null
    return
  fi

  printf '[Nokari]\r\nTargetEditor=0\r\nJumpCheak=1\r\nReloadCheak=0\r\nLspFullName=%s\r\n' \
    "$basic_w" > "$ini"
  start_nokari
  front=$(automation_front)
  if [ "$front" = "$automation_class" ]; then
    bad "the stand-in's window is in front before C: the check would show nothing"
  elif step "click C" click 106; then
    for _ in $(seq 20); do
      front=$(automation_front)
      [ "$front" = "$automation_class" ] && break
      sleep 0.2
    done
    same "C brings the stand-in's window (its HWND property) to the front" \
      "$automation_class" "$front"
  fi

  # ESC (load "path, every backslash doubled")(princ) CR, then ESC Draw CR.
  step "click CAD" click 105 &&
    want=$(printf '\033(load "%s")(princ)\r' "${basic_w//\\/\\\\}")
  file_holds "CAD: the document's SendCommand gets the load of the open file" "$rec" "$want"
  drv select "Command/c:Draw" > /dev/null
  step "send the tree's c:Draw to CAD from the tree menu" menu SendTreeCommandToCadItem &&
    want+=$'\n'$(printf '\033Draw\r')
  file_holds "the document's SendCommand gets Draw, and nothing else came" "$rec" "$want"
  close_nokari "$started"

  drv --timeout 10 close-class "$automation_class" > /dev/null 2>&1
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  if kill -0 "$pid" 2>/dev/null; then
    bad "the stand-in ends when its window closes"
    kill "$pid" 2>/dev/null
  fi
}

# The check's "ok NAME" / "FAIL NAME" lines, and its end.
automation_check_suite() {
  echo "== CAD automation: failures and references, against a fake object in this process"
  if [ ! -f "$automation_check_exe" ]; then
    bad "missing ${automation_check_exe#"$root"/} (run scripts/build.sh)"
    return
  fi
  # (Not "failed": that is e2e.sh's count.)
  local rc=0 line any_failed=0
  timeout 60 wine "$automation_check_exe" > "$work/automation-check" 2> "$out/automation-check.log" ||
    rc=$?
  while IFS= read -r line; do
    line=${line%$'\r'}
    case $line in
      "ok "*) ok "automation: ${line#ok }" ;;
      "FAIL "*) bad "automation: ${line#FAIL }"; any_failed=1 ;;
    esac
  done < "$work/automation-check"
  if [ "$rc" -ne 0 ] && [ "$any_failed" -eq 0 ]; then
    bad "automation: the check ends (status $rc)"
    tail -n 5 "$out/automation-check.log" | sed 's/^/     /'
  fi
}
