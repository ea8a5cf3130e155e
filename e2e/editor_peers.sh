# End-to-end fragment sourced by scripts/e2e.sh: the jump into stand-ins for Notepad++, Mery,
# TeraPad and VS Code (build/win64/e2e/nokari-peer.exe). Each stand-in shows the editor's main
# window and go-to-line input and appends a line to its record file for every jump it receives
# ("goto N"), or for a key it would have taken otherwise ("typed KEY", "offset N").
# Uses e2e.sh's helpers and names: drv, step, same, file_holds, wait_for_file, report, start_nokari, close_nokari, wpath,
# $basic, $basic_w, $ini, $exp, $out, $work, $check, $prog.

peer_exe=$root/build/win64/e2e/nokari-peer.exe

# peer_jumps EDITOR_INDEX NAME: one Nokari run against the stand-in NAME, already open; the
# program stays open. Leaves in peer_want[NAME] the lines the stand-in's record file must hold.
# The window drops a click that comes while a jump still runs, so each jump is waited for
# before the next action.
peer_jumps() {
  local index=$1 name=$2 rec=$work/peer-$2.txt want=
  printf '[Nokari]\r\nTargetEditor=%s\r\nJumpCheak=1\r\nReloadCheak=0\r\nLspFullName=%s\r\n' \
    "$index" "$basic_w" > "$ini"
  start_nokari
  step "$name: double-click the tree node area (w h)" double-click "Function/area (w h)" &&
    want="goto $peer_area"
  file_holds "$name: the stand-in goes to the line of area's defun" "$rec" "$want"
  # The jump list's Enter, a line number and a function name in the results panel.
  drv select "Function/area (w h)" > /dev/null && drv menu AddToJumpListItem > /dev/null
  step "$name: Enter on the jump list's area (w h)" jump-list-enter 1 &&
    want+=${want:+$'\n'}"goto $peer_area"
  wait_for_file "$rec" "$want"
  step "$name: the variable check" click 110
  step "$name: double-click the line number $peer_vline in the panel" \
    panel-double-click "$peer_vline|" && want+=${want:+$'\n'}"goto $peer_vline"
  wait_for_file "$rec" "$want"
  step "$name: the function check" click 112
  step "$name: double-click the name Zeta in the panel" panel-double-click Zeta &&
    want+=${want:+$'\n'}"goto $peer_zeta"
  file_holds "$name: the stand-in goes to each of those lines" "$rec" "$want"

  # The question appears only when the chosen editor is found; Yes jumps to the line it names.
  cat "$work/peer.unbalanced" > "$basic"
  if step "$name: click ((✔)) on the unbalanced file" click ParenthesisCheckButton &&
    step "$name: the parenthesis question, answered Yes" answer yes; then
    want+=${want:+$'\n'}"goto $peer_broken"
  fi
  file_holds "$name: the stand-in goes to the line the question names" "$rec" "$want"
  cat "$work/peer.balanced" > "$basic"
  peer_want[$name]=$want
}

editor_peer_suite() {
  echo "== the jump: stand-ins for Notepad++, Mery, TeraPad and VS Code"
  if [ ! -f "$peer_exe" ]; then
    bad "missing ${peer_exe#"$root"/} (run scripts/build.sh)"
    return
  fi
  report peerlines --tree "$basic" > /dev/null
  peer_area=$(awk -F '\t' '$1 ~ /^  area / { print $2 }' "$exp/peerlines.full")
  peer_zeta=$(awk -F '\t' '$1 ~ /^  Zeta / { print $2 }' "$exp/peerlines.full")
  report peervars --vars "$basic" > /dev/null
  peer_vline=$(sed -n 's/^ *\([0-9][0-9]*\)|.*/\1/p' "$exp/peervars" | head -n 1)
  # The unbalanced copy: an unclosed defun at the end. The whole-file finding's line is where
  # the parenthesis question jumps.
  cp "$basic" "$work/peer.balanced"
  { cat "$basic"; printf '(defun broken (a)\n  (setq b (list a)\n'; } > "$work/peer.unbalanced"
  peer_broken=$("$check" --data-dir "$prog" --ansi-codepage 932 "$work/peer.unbalanced" |
    sed -n 's/^.*:\([0-9][0-9]*\):[0-9][0-9]*: unbalanced-parens: (whole file)$/\1/p')
  if [ -z "$peer_area" ] || [ -z "$peer_broken" ] || [ -z "$peer_zeta" ] || [ -z "$peer_vline" ]; then
    bad "the stand-ins' lines: area's defun '$peer_area', the question's '$peer_broken'"
    return
  fi

  # All four at once, as a user may have them: each jump must reach the chosen one only.
  declare -gA peer_want=()
  local name title pids=()
  local -A classes=([notepadpp]=Notepad++ [mery]=TChildForm [terapad]=TTeraPadMainForm
    [vscode]=Chrome_WidgetWin_1)
  local -A titles=([notepadpp]="*$basic_w - Notepad++" [mery]="basic.lsp - Mery"
    [terapad]="$basic_w - TeraPad" [vscode]="● basic.lsp - files - Visual Studio Code")
  for name in notepadpp mery terapad vscode; do
    rm -f "$work/peer-$name.txt"
    (exec wine "$peer_exe" "$name" "${titles[$name]}" "$(wpath "$work/peer-$name.txt")" \
      > "$out/peer-$name.log" 2>&1) &
    pids+=($!)
  done
  for name in notepadpp mery terapad vscode; do
    title=$(drv --timeout 20 wait-class "${classes[$name]}" 2> /dev/null)
    [ "$title" = "${titles[$name]}" ] ||
      bad "the stand-in $name opens with its title (shows '$title')"
  done

  peer_jumps 2 notepadpp
  close_nokari "$started"
  peer_jumps 3 mery
  close_nokari "$started"
  peer_jumps 4 terapad
  close_nokari "$started"
  peer_jumps 0 vscode
  # The box is one switch in front of every editor: one editor shows it holds.
  step "untick Jump" click JumpCheck
  step "double-click area (w h) with Jump unticked" double-click "Function/area (w h)"
  sleep 1
  close_nokari "$started"

  for name in notepadpp mery terapad vscode; do
    drv --timeout 10 close-class "${classes[$name]}" > /dev/null 2>&1
  done
  local pid
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2> /dev/null || break; sleep 0.2; done
    kill -0 "$pid" 2> /dev/null && bad "a stand-in stayed open after close-class"
  done
  # Late keys, keys that reached another editor, a jump with Jump unticked: all show here.
  for name in notepadpp mery terapad vscode; do
    same "$name: nothing else recorded" "${peer_want[$name]}" "$(cat "$work/peer-$name.txt")"
  done
}
