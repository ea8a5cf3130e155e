# End-to-end fragment sourced by scripts/e2e.sh: the command texts Nokari sends to stand-ins for
# AutoCAD, BricsCAD, IJCAD, ARES and ZWCAD (build/win64/e2e/nokari-cad-peer.exe). Each stand-in
# shows the CAD's main window and command line windows, and appends a line to its record file for
# every delivery ("copydata 1 <ESC>...<CR>", "typed ...", "key ESC"): see peer_cad.cpp's head.
# One Nokari run meets every stand-in in turn, one at a time: it looks for the CAD afresh on
# every click.
# Uses e2e.sh's helpers and names: drv, step, file_holds, expect, same, ok, bad, start_nokari,
# close_nokari, wpath, $basic_w, $ini, $out, $work, $started.

cad_peer_exe=$root/build/win64/e2e/nokari-cad-peer.exe
declare -gA cad_class=([acad]=AfxMDIFrame140u [acad-afx]=Afx:00400000:8:00010003:00000000:00000000
  [bricscad]=BricscadMainWindow [ijcad]=Afx:00400000:b:00010003:00000006:00000000
  [ijcad-intelli]=Afx:00400000:b:00010003:00000006:00000000 [ares]=Qt5QWindowIcon
  [zwcad]=Afx:00400000:b:00010003:00000006:00010011)
declare -gA cad_title=([acad]="Autodesk AutoCAD 2024 - [Drawing1.dwg]"
  [acad-afx]="AutoCAD 2012 - [Drawing1.dwg]" [bricscad]="BricsCAD V24 - [Drawing1.dwg]"
  [ijcad]="IJCAD 2024 STD - [Drawing1.dwg]" [ijcad-intelli]="IJCAD 2024 Intelli - [Drawing1.dwg]"
  [ares]="ARES Commander 2024 - [Drawing1.dwg]" [zwcad]="ZWCAD 2024 - [Drawing1.dwg]")

# cad_start NAME KIND [OPTIONS]: starts the stand-in KIND with the record file $work/cad-NAME.txt
# and waits for its window. Sets cad_pid, cad_kind, cad_rec.
cad_start() {
  local name=$1 title
  cad_kind=$2
  cad_rec=$work/cad-$name.txt
  shift 2
  rm -f "$cad_rec"
  (exec wine "$cad_peer_exe" "$cad_kind" "${cad_title[$cad_kind]}" "$(wpath "$cad_rec")" "$@" \
    > "$out/cad-peer-$name.log" 2>&1) &
  cad_pid=$!
  if [ "${1:-}" = --hang-after-start ]; then
    # Shown in front; read without a message to it, which it would not answer for long.
    printf '%s\t%s\tshown\n' "${cad_class[$cad_kind]}" "${cad_title[$cad_kind]}" > "$work/cad-shown"
    drv --timeout 20 --expect "$(wpath "$work/cad-shown")" foreground > /dev/null 2>&1 && return
    bad "$name: the stand-in opens in front"
    return 1
  fi
  title=$(drv --timeout 20 wait-class "${cad_class[$cad_kind]}" 2> /dev/null)
  [ "$title" = "${cad_title[$cad_kind]}" ] && return
  bad "$name: the stand-in opens with its title (shows '$title')"
  return 1
}

# cad_stop NAME: closes the stand-in; one that does not end is killed.
cad_stop() {
  drv --timeout 10 close-class "${cad_class[$cad_kind]}" > /dev/null 2>&1
  for _ in $(seq 50); do kill -0 "$cad_pid" 2> /dev/null || return; sleep 0.2; done
  bad "$1: the stand-in stayed open after close-class"
  kill -9 "$cad_pid" 2> /dev/null
}

cad_peer_suite() {
  echo "== the CAD: stand-ins for AutoCAD, BricsCAD, IJCAD, ARES and ZWCAD"
  if [ ! -f "$cad_peer_exe" ]; then
    bad "missing ${cad_peer_exe#"$root"/} (run scripts/build.sh)"
    return
  fi
  # The file's Windows path with every backslash doubled, as AutoLISP reads a string.
  local load="(load \"${basic_w//\\/\\\\}\")(princ)" kind want what
  printf '[Nokari]\r\nTargetEditor=0\r\nJumpCheak=1\r\nReloadCheak=0\r\nLspFullName=%s\r\n' \
    "$basic_w" > "$ini"
  start_nokari
  # The tree's c:Draw stays selected; the jump list holds it, selected, for its own menu.
  drv select "Command/c:Draw" > /dev/null && drv menu AddToJumpListItem > /dev/null &&
    drv jump-list-select 1 > /dev/null

  # The three ways in: WM_COPYDATA to the main window, characters typed into IJCAD's command
  # line, ARES's field with Escape and Enter as keys to its main window.
  for kind in acad acad-afx bricscad ijcad ijcad-intelli ares zwcad; do
    cad_start "$kind" "$kind" || continue
    step "$kind: click CAD" click CadLoadButton
    drv menu SendTreeCommandToCadItem > /dev/null  # the tree's c:Draw
    what="the load and the tree's command"
    case $kind in
      ijcad)
        # With a function that is no command selected in the tree, the tree's menu sends
        # nothing and the jump list's sends its own entry.
        drv select "Function/area (w h)" > /dev/null && drv menu SendTreeCommandToCadItem > /dev/null
        drv menu SendJumpListCommandToCadItem > /dev/null
        drv select "Command/c:Draw" > /dev/null
        what+=", not area (w h), then the jump list's"
        want=$(printf 'typed <ESC>%s<CR>\ntyped <ESC>Draw<CR>\ntyped <ESC>Draw<CR>' "$load")
        ;;
      # Escape must come before the first character and Enter after the last, whatever way
      # each of them goes.
      ares) want=$(printf 'key ESC\ntyped %s\nkey RETURN\nkey ESC\ntyped Draw\nkey RETURN' "$load") ;;
      *) want=$(printf 'copydata 1 <ESC>%s<CR>\ncopydata 1 <ESC>Draw<CR>' "$load") ;;
    esac
    file_holds "$kind: the stand-in takes $what" "$cad_rec" "$want"
    cad_stop "$kind"
  done

  # A CAD that shows a modal dialog has its main window disabled: it is sent nothing.
  if cad_start bricscad-disabled bricscad --disabled; then
    step "disabled bricscad: click CAD" click CadLoadButton
    # The same stand-in took both texts above: only the disabled window holds them back. (The
    # text is sent before the click returns; a moment more for anything sent later.)
    sleep 0.5
    file_holds "disabled bricscad: the stand-in takes nothing" "$cad_rec" ""
    cad_stop "disabled bricscad"
  fi

  # "C" brings a minimised CAD to the front, restored.
  if cad_start zwcad-minimized zwcad --minimized; then
    grep -q "shown minimised" "$out/cad-peer-zwcad-minimized.log" ||
      bad "minimised zwcad: the stand-in starts minimised"
    step "minimised zwcad: click C" click CadActivateButton
    printf '%s\t%s\tshown\n' "${cad_class[zwcad]}" "${cad_title[zwcad]}" > "$work/cad-front"
    expect "minimised zwcad: C brings it to the front, restored" "$work/cad-front" foreground
    cad_stop "minimised zwcad"
  fi

  # A CAD that stops answering for a while: the typing gives up at the first character not
  # taken within the second each may wait, and the program goes on answering. (Typing on would
  # take a second a character until the stand-in counts as hung, five seconds in.)
  if cad_start ijcad-hung ijcad --hang-after-start; then
    sleep 0.7  # the stand-in answers for half a second after it shows
    local t0 ms rc=0
    t0=$(date +%s%N)
    drv --timeout 15 click CadLoadButton > "$work/got" 2>&1 || rc=$?
    ms=$((($(date +%s%N) - t0) / 1000000))
    if [ "$rc" -eq 0 ] && [ "$ms" -lt 3000 ]; then
      ok "hung ijcad: click CAD returns in $ms ms"
    else
      bad "hung ijcad: click CAD returns in $ms ms, status $rc (3000 ms at most)"
      sed 's/^/     /' "$work/got"
    fi
    step "hung ijcad: the program answers after the click" --timeout 5 wait
    cad_stop "hung ijcad"
  fi
  close_nokari "$started"
}
