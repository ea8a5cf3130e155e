#!/usr/bin/env bash
# End-to-end suite: runs the Windows Nokari.exe under Wine on a virtual display, drives it with
# nokari-e2e.exe from another process and compares what the window shows with the reports of
# the native nokari-check for the same file. Needs build/win64 and build/native (scripts/build.sh).
# Ends with "e2e: N passed, M failed"; exits non-zero on any failure.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/e2e/wine_session.sh"
exe=$root/build/win64/Nokari.exe
driver=$root/build/win64/e2e/nokari-e2e.exe
check=$root/build/native/nokari-check
out=$root/build/e2e
mkdir -p "$out"
rm -f "$out/nokari.png" "$out"/*.log

passed=0
failed=0
ok() { passed=$((passed + 1)); echo "ok   $1"; }
bad() { failed=$((failed + 1)); echo "FAIL $1"; }
finish() {
  echo "e2e: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

for f in "$exe" "$driver" "$check"; do
  if [ ! -f "$f" ]; then
    bad "missing ${f#"$root"/} (run scripts/build.sh)"
    finish
  fi
done

begin_scratch_session nokari-e2e

prog=$work/program  # the program's folder: exe, lists, INI, history
files=$work/files   # the sources the program opens
exp=$work/expected
mkdir -p "$prog" "$files" "$exp"
cp "$exe" "$prog/"
[ -f "$root/data/AutoLispFuncList.txt" ] && cp "$root/data/AutoLispFuncList.txt" "$prog/"
cp "$root/tests/golden/basic.lsp" "$root/tests/golden/sjis.lsp" "$files/"
ini=$prog/Nokari.ini
hist=$prog/NokariHist.txt

# A path under / as the program sees it (drive Z: of a fresh prefix).
wpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# Wine's own errors on exceptions, processes and modules stay on: a driver that dies without a
# word of its own then still says why. The driver marks its start in a file: when Wine ends it
# before it started, nothing was done, and it is started once more (counted in $work/restarts).
drv() {
  local rc=0 mark=$work/started.$BASHPID.$RANDOM try
  for try in 1 2; do
    rc=0
    NOKARI_E2E_STARTED=$(wpath "$mark") WINEDEBUG=-all,err+seh,err+process,err+module \
      timeout 60 wine "$driver" "$@" || rc=$?
    if [ "$rc" -eq 0 ] || [ -e "$mark" ]; then
      rm -f "$mark"
      return "$rc"
    fi
    echo "$try status $rc: $*" >> "$work/restarts"
  done
  return "$rc"
}

# report NAME OPTION FILE: nokari-check's report for FILE, as the window's files see it.
# The tree shows the texts only: the line after each TAB stays out.
# (--parens ends with status 1 when the file does not balance.)
report() {
  local rc=0
  "$check" --data-dir "$prog" --ansi-codepage 932 --time "2000/01/01 0:00:00" "$2" \
    ${3:+"$3"} > "$exp/$1.full" 2> "$exp/$1.err" || rc=$?
  if [ "$rc" -ne 0 ] && ! { [ "$2" = --parens ] && [ "$rc" -eq 1 ]; }; then
    echo "     nokari-check $2: status $rc $(head -c 300 "$exp/$1.err")"
    return 1
  fi
  if [ "$2" = --tree ]; then sed 's/\t[0-9]*$//' "$exp/$1.full" > "$exp/$1"; else cp "$exp/$1.full" "$exp/$1"; fi
}
# The lines of a report before and after its "--- message ---" line: the panel and the box.
split_message() {
  awk 'f { print > "/dev/stderr"; next } $0 == "--- message ---" { f = 1; next } { print }' \
    "$exp/$1" > "$exp/$1.panel" 2> "$exp/$1.message"
}

# expect NAME EXPECTED_FILE DRIVER_ARGS...: the driver's output equals the file.
expect() {
  local name=$1 want=$2
  shift 2
  if drv --timeout 5 --expect "$(wpath "$want")" "$@" > "$work/got" 2> "$work/err"; then
    ok "$name"
  else
    bad "$name"
    diff -a -u --label expected --label shown "$want" "$work/got" | head -n 30 | sed 's/^/     /'
    sed 's/^/     /' "$work/err"
  fi
}
# expect_report NAME OPTION FILE DRIVER_ARGS...
expect_report() {
  local name=$1 option=$2 file=$3 key
  shift 3
  nreport=$((nreport + 1)); key=report$nreport
  if report "$key" "$option" "$file"; then
    expect "$name" "$exp/$key" "$@"
  else
    bad "$name"
  fi
}
# step NAME DRIVER_ARGS...: the driver does it.
step() {
  local name=$1
  shift
  local rc=0
  drv "$@" > "$work/got" 2> "$work/err" || rc=$?
  if [ "$rc" -eq 0 ]; then
    ok "$name"
  else
    bad "$name"
    sed 's/^/     /' "$work/got" "$work/err"
    # A driver that died says nothing of its own.
    [ -s "$work/err" ] || echo "     (the driver ended with status $rc)"
    return 1
  fi
}
# same NAME EXPECTED ACTUAL
same() {
  if [ "$2" = "$3" ]; then
    ok "$1"
  else
    bad "$1"
    printf 'expected:\n%s\nfound:\n%s\n' "$2" "$3" | sed 's/^/     /'
  fi
}
# wait_for_file FILE TEXT: waits a few seconds for FILE to hold exactly TEXT (the record file
# of a stand-in program); false when it does not.
wait_for_file() {
  for _ in $(seq 30); do
    [ "$(cat "$1" 2> /dev/null)" = "$2" ] && return 0
    sleep 0.2
  done
  return 1
}
# file_holds NAME FILE TEXT: FILE holds exactly TEXT within a few seconds.
file_holds() {
  wait_for_file "$2" "$3"
  same "$1" "$3" "$(cat "$2" 2> /dev/null)"
}

started=0
nreport=0
start_nokari() {
  started=$((started + 1))
  (cd "$prog" && exec wine Nokari.exe > "$out/nokari-$started.log" 2>&1) &
  # Without the window every later step would only wait for its timeout.
  step "start $started: the window opens" --timeout 60 wait ||
    { tail -n 20 "$out/nokari-$started.log" | sed 's/^/     /'; finish; }
}
close_nokari() {
  step "close $1: the program ends" --timeout 20 close
}

echo "== e2e: starting Xvfb and a fresh Wine prefix"
t0=$(date +%s)
start_xvfb || { bad "Xvfb"; finish; }
timeout 180 wineboot -i >/dev/null 2>&1
# Without a window manager, Wine draws the frames and title bars itself (for the screenshot).
timeout 30 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
basic=$files/basic.lsp
sjis=$files/sjis.lsp
ini_set "$ini" LspFullName "$(timeout 30 winepath -w "$basic")"
basic_w=$(ini_get "$ini" LspFullName)
sjis_w=$(timeout 30 winepath -w "$sjis")

# The pointer stays off the window: no hover effects or tooltips in the screenshot.
drv pointer 1 1 > /dev/null 2>&1

echo "== start with an INI naming basic.lsp"
start_nokari
expect_report "start: the tree" --tree "$basic" tree
printf 'UTF8\n' > "$exp/utf8"
expect "start: the encoding label" "$exp/utf8" text EncodingLabel
printf 'basic.lsp\n' > "$exp/basic.name"
expect "start: the file name" "$exp/basic.name" text FileNameBox
expect_report "start: the variable check in the panel" --vars "$basic" text Panel

echo "== the check buttons"
step "click ((✔))" click ParenthesisCheckButton
if report parens --parens "$basic"; then
  split_message parens
  expect "((✔)) writes the parenthesis check" "$exp/parens.panel" text Panel
  if [ -s "$exp/parens.message" ]; then bad "((✔)) on a balanced file: nokari-check shows a message"; fi
else
  bad "((✔)) writes the parenthesis check"
fi
step "click 変数✔" click VariableCheckButton
expect_report "変数✔ writes the variable check" --vars "$basic" text Panel
step "click 関数✔" click FunctionCheckButton
expect_report "関数✔ writes the function check" --funcs "$basic" text Panel
step "click 関数カタログ" click CatalogueButton
expect_report "関数カタログ writes the catalogue (date line aside)" --catalogue "$basic" \
  --mask-line 3 text Panel

echo "== the parenthesis check on an unbalanced file"
cp "$basic" "$work/basic.orig"
printf '(defun broken (a)\n  (setq b (list a)\n' >> "$basic"
step "click ((✔)) on the unbalanced file" click ParenthesisCheckButton
if report unbalanced --parens "$basic"; then
  split_message unbalanced
  if [ -s "$exp/unbalanced.message" ]; then
    expect "((✔)) shows the mismatch in a message box, answered OK" "$exp/unbalanced.message" \
      answer ok
  else
    bad "((✔)) on an unbalanced file: nokari-check shows no message"
    drv --timeout 3 answer ok > /dev/null 2>&1
  fi
  expect "((✔)) leaves the per-function lines in the panel" "$exp/unbalanced.panel" text Panel
else
  bad "((✔)) shows the mismatch in a message box, answered OK"
  drv --timeout 3 answer ok > /dev/null 2>&1
fi
cp "$work/basic.orig" "$basic"

echo "== the tree"
step "click the tree node area (w h)" select "Function/area (w h)"
printf ';; area of a rectangle\n(defun area (w h / ...)\n' > "$exp/heading"
expect "the tree click shows the heading lines" "$exp/heading" text Panel
if timeout 30 import -window root "$out/nokari.png" 2> "$out/import.log" && [ -s "$out/nokari.png" ]; then
  ok "screenshot saved: build/e2e/nokari.png"
else
  bad "screenshot saved: build/e2e/nokari.png"
fi
step "copy the whole function area (w h) from the tree menu" menu CopyFunctionTextItem
printf 'クリップボードにコピーしました．\n' > "$exp/copied.message"
expect "the copy says so" "$exp/copied.message" answer ok
# The copy ends with a line break: the driver shows it as one empty line more.
printf ';; area of a rectangle\n(defun area (w h / a)\n  (setq a (* w h))\n  a)\n\n' > "$exp/copied"
expect "the clipboard holds area's lines with their comment" "$exp/copied" clipboard
{ printf ';; two lines added\n;; at the top\n'; cat "$work/basic.orig"; } > "$basic"
step "click 変数✔ after the file changed on disk" click VariableCheckButton
expect_report "the reload rebuilt the tree" --tree "$basic" tree
printf 'Function/area (w h)\n' > "$exp/selected"
expect "the reload kept the selection" "$exp/selected" selected
expect_report "the reload wrote the variable check" --vars "$basic" text Panel

echo "== 除外"
question='変数から除外する文字列ファイル jogaiList.txt を作成、編集しますか？
保存後に、再度[ 除外 ]ボタンをクリックすると変更が反映されます．'
printf '%s\n' "$question" > "$exp/question"
step "click 除外" click ExclusionListButton
expect_report "除外 lists the exclusion list" --exclusions "" text Panel
expect "除外 asks to create the file; No" "$exp/question" answer no
if [ -e "$prog/jogaiList.txt" ]; then bad "No creates no jogaiList.txt"; else ok "No creates no jogaiList.txt"; fi
step "click 除外 again" click ExclusionListButton
expect "除外 asks again; Yes" "$exp/question" answer yes
if [ -f "$prog/jogaiList.txt" ] && [ ! -s "$prog/jogaiList.txt" ]; then
  ok "Yes creates an empty jogaiList.txt beside the program"
else
  bad "Yes creates an empty jogaiList.txt beside the program"
fi
title=$(drv --timeout 10 wait-class Notepad 2>/dev/null)
case $title in
  *jogaiList.txt*) ok "Notepad opens jogaiList.txt" ;;
  *) bad "Notepad opens jogaiList.txt"; echo "     Notepad's title: $title" ;;
esac
drv --timeout 10 close-class Notepad > /dev/null 2>&1

echo "== exit writes the INI and the history"
close_nokari 1
same "the INI holds TargetEditor" 0 "$(ini_get "$ini" TargetEditor)"
same "the INI holds JumpCheak" 1 "$(ini_get "$ini" JumpCheak)"
same "the INI holds ReloadCheak" 0 "$(ini_get "$ini" ReloadCheak)"
same "the INI holds LspFullName" "$basic_w" "$(ini_get "$ini" LspFullName)"
same "NokariHist.txt holds the file first" "$basic_w" "$(text_lines "$hist" 2>/dev/null | head -n 1)"

echo "== restart on sjis.lsp, then the history dialog reopens basic.lsp"
ini_set "$ini" LspFullName "$sjis_w"
start_nokari
printf 'sjis.lsp\n' > "$exp/sjis.name"
expect "restart: the file name" "$exp/sjis.name" text FileNameBox
printf 'ANSI\n' > "$exp/ansi"
expect "restart: a Shift-JIS file reads as ANSI" "$exp/ansi" text EncodingLabel
expect_report "restart: the tree of sjis.lsp" --tree "$sjis" tree
step "click 履歴" click HistoryButton
printf '%s\n' "$sjis_w" "$basic_w" > "$exp/history"
expect "the history dialog lists the files, newest first" "$exp/history" history
step "choose basic.lsp in the history, OK" history-open 2
expect "the history loads the file name" "$exp/basic.name" text FileNameBox
expect "the history loads the encoding label" "$exp/utf8" text EncodingLabel
expect_report "the history loads the tree" --tree "$basic" tree
expect_report "the history loads the variable check" --vars "$basic" text Panel
close_nokari 2
same "the INI names the reopened file" "$basic_w" "$(ini_get "$ini" LspFullName)"
printf '%s\n' "$basic_w" "$sjis_w" > "$exp/history2"
same "NokariHist.txt puts the reopened file first" "$(cat "$exp/history2")" \
  "$(text_lines "$hist" 2>/dev/null)"

echo "== stored files: kept byte for byte, or left alone with a message at exit"
# close_with_message N WHAT PATTERN: closes the program, which names a file it did not save.
close_with_message() {
  drv --timeout 30 close > "$work/closed" 2>&1 &
  local closer=$! text
  text=$(drv --timeout 20 answer ok 2>&1)
  case $text in
    *"保存しませんでした"*$3*) ok "exit names the $2" ;;
    *) bad "exit names the $2"; printf '%s\n' "$text" | sed 's/^/     /' ;;
  esac
  if wait "$closer"; then ok "close $1: the program ends"; else bad "close $1: the program ends"; fi
}
unchanged() {
  if cmp -s "$2" "$3"; then ok "$1"; else bad "$1"; cmp "$2" "$3" 2>&1 | sed 's/^/     /'; fi
}
printf '; 設定\r\n[データ]\r\n名前=テスト\r\n[Nokari]\r\nTargetEditor=0\r\nJumpCheak=1\r\nReloadCheak=0\r\nLspFullName=%s\r\n' \
  "$basic_w" > "$ini"
printf '%s\r\nC:\\データ\\テスト.lsp\r\n' "$basic_w" > "$hist"
cp "$ini" "$work/ini.utf8"
cp "$hist" "$work/hist.utf8"
start_nokari
close_nokari 3
unchanged "a UTF-8 INI with a Japanese section survives start and exit" "$work/ini.utf8" "$ini"
unchanged "a UTF-8 history survives start and exit" "$work/hist.utf8" "$hist"

rm -f "$ini"
truncate -s 300M "$ini"
start_nokari
close_with_message 4 "INI over the read limit" "Nokari.ini"
if [ "$(stat -c %s "$ini")" = 314572800 ] && [ -z "$(head -c 4096 "$ini" | tr -d '\0')" ]; then
  ok "the INI over the read limit is left untouched"
else
  bad "the INI over the read limit is left untouched"
fi

cp "$work/ini.utf8" "$ini"
chmod 444 "$ini"
start_nokari
close_with_message 5 "read-only INI" "読み取り専用"
unchanged "the read-only INI is left untouched" "$work/ini.utf8" "$ini"
chmod 644 "$ini"

start_nokari
drv hold "$(wpath "$ini")" 8 > "$work/held" 2>&1 &
holder=$!
for _ in $(seq 50); do grep -qs held "$work/held" && break; sleep 0.2; done
close_with_message 6 "INI held open by another program" "Nokari.ini"
wait "$holder"
unchanged "the INI held open is left untouched" "$work/ini.utf8" "$ini"

mv "$ini" "$work/real.ini"
ln -s "$work/real.ini" "$ini"
printf '[Nokari]\r\nTargetEditor=0\r\nJumpCheak=1\r\nReloadCheak=0\r\nLspFullName=%s\r\n' \
  "$sjis_w" > "$work/real.ini"
start_nokari
close_nokari 7
if [ -L "$ini" ] && [ "$(ini_get "$work/real.ini" LspFullName)" = "$sjis_w" ] &&
  head -n 1 "$hist" | grep -qF "$sjis_w"; then  # the history stays UTF-8, as it was written
  ok "an INI behind a symbolic link: the link stays, its target is written"
else
  bad "an INI behind a symbolic link: the link stays, its target is written"
  ls -l "$ini" | sed 's/^/     /'
fi

echo "== the jump: Wine's Notepad brought to a function's line"
rm -f "$ini"
# Wine's Notepad titles its go-to-line window in its own words; the INI says which.
printf '[Nokari]\r\nTargetEditor=1\r\nJumpCheak=1\r\nReloadCheak=0\r\nLspFullName=%s\r\n[Editors]\r\nNotepad.GotoTitle=指定行に移動\r\n' \
  "$basic_w" > "$ini"
(cd "$files" && exec wine notepad basic.lsp > "$out/notepad.log" 2>&1) &
title=$(drv --timeout 20 wait-class Notepad 2>/dev/null)
echo "     Notepad's title: $title"
start_nokari
report jumpline --tree "$basic" > /dev/null
want=$(awk -F '\t' '$1 ~ /^  area / { print $2 }' "$exp/jumpline.full")
# notepad_at NAME LINE: Notepad's caret comes to LINE within a few seconds.
notepad_at() {
  local got=
  for _ in $(seq 20); do
    got=$(drv --timeout 5 caret-line Notepad 2>/dev/null)
    [ "$got" = "$2" ] && break
    sleep 0.25
  done
  same "$1" "$2" "$got"
}
# tree_line NODE_TEXT: the 1-based line of a tree node, as nokari-check reports it.
tree_line() { awk -F '\t' -v n="$1" '{ t = $1; sub(/^ */, "", t) } t == n { print $2; exit }' "$exp/jumpline.full"; }
step "double-click the tree node area (w h)" double-click "Function/area (w h)"
notepad_at "Notepad's caret is on the line of area's defun" "$want"

echo "== the jump list and the results panel"
drv select "Function/outer (x y)" > /dev/null && drv menu AddToJumpListItem > /dev/null  # add
drv select "Command/c:Draw" > /dev/null && drv menu InsertAtJumpListTopItem > /dev/null        # insert at the top
drv select "Function/area (w h)" > /dev/null && drv menu AddToJumpListItem > /dev/null
drv select "Function/outer (x y)/Helper" > /dev/null && drv menu AddToJumpListItem > /dev/null
drv menu AddToJumpListItem > /dev/null  # the same again: not added twice
printf 'c:Draw\nouter (x y)\narea (w h)\nHelper\n' > "$work/jl1"
expect "the tree menu adds to the jump list, at the end or the top, once each" "$work/jl1" jump-list
drv jump-list-drag 3 1 > /dev/null
printf '* area (w h)\nc:Draw\nouter (x y)\nHelper\n' > "$work/jl2"
expect "dragging the third entry onto the first moves it there" "$work/jl2" jump-list
drv jump-list-drag 1 below > /dev/null
expect "a drop below the last entry changes nothing, the dragged entry stays selected" \
  "$work/jl2" jump-list
drv menu MoveDownItem > /dev/null  # one place down
drv jump-list-select 4 > /dev/null && drv menu DeleteItem > /dev/null  # delete
printf 'c:Draw\narea (w h)\nouter (x y)\n' > "$work/jl3"
expect "one down; delete" "$work/jl3" jump-list
drv click 103 > /dev/null  # "Jump" unticked: the list jumps all the same
step "Enter on the jump list's outer (x y)" jump-list-enter 3
notepad_at "Enter on the jump list, Jump unticked: Notepad goes to outer" "$(tree_line "outer (x y)")"
step "double-click the jump list's c:Draw" jump-list-double-click 1
notepad_at "a jump list double-click: Notepad goes to c:Draw" "$(tree_line c:Draw)"
drv click 103 > /dev/null  # ticked again
drv click 110 > /dev/null  # the variable check: "   NN| c:test ( x )"
report vars --vars "$basic" > /dev/null
vline=$(sed -n 's/^ *\([0-9][0-9]*\)|.*/\1/p' "$exp/vars" | head -n 1)
step "double-click the line number $vline in the panel" panel-double-click "$vline|"
notepad_at "a line number in the panel: Notepad goes to line $vline" "$vline"
drv click 112 > /dev/null  # the function check: names of functions
step "double-click the name Zeta in the panel" panel-double-click "Zeta"
notepad_at "a function name in the panel: Notepad goes to its defun" "$(tree_line "Zeta ()")"
drv panel-select "outer" > /dev/null && drv menu JumpToSelectedLineItem > /dev/null
notepad_at "the panel menu on a selected name: Notepad goes to its defun" "$(tree_line "outer (x y)")"
drv menu DeleteAllItem > /dev/null
: > "$work/jl4"
expect "delete all empties the jump list" "$work/jl4" jump-list
drv --timeout 10 close-class Notepad > /dev/null 2>&1
close_nokari 8

echo "== nested functions: the tree in the report's order"
# Functions with nested ones first, between and after others, in both groups.
nested=$files/nested.lsp
printf '%s\r\n' '(defun a1 ()' '  (defun a1n () 1))' '(defun b2 () 2)' '(defun c3 ()' \
  '  (defun c3n () 3)' '  (defun c3m () 4))' '(defun d4 ()' '  (defun d4n () 5))' \
  '(defun e5 () 6)' '(defun f6 () 7)' '(defun c:g7 ()' '  (defun g7n () 8))' \
  '(defun c:h8 () 9)' > "$nested"
ini_set "$ini" LspFullName "$(wpath "$nested")"
start_nokari
expect_report "the tree of nested functions" --tree "$nested" tree
close_nokari "$started"
ini_set "$ini" LspFullName "$basic_w"

echo "== real code: a parameter list on the next line, two defuns on one line, a sibling file"
real=$files/program/realcode.lsp
mkdir -p "$files/program"
printf '%s\r\n' ';; a query' '(defun SqlGet' '  (db key / row)' '  (setq row (helper db key))' \
  '  row)' '(defun one () 1)(defun two () (one))' '(defun c:run () (SqlGet "db" "k") (two))' \
  > "$real"
# helper is defined beside it, in a file of the same program.
printf '%s\r\n' '(defun helper (db key) (list db key))' > "$files/program/lib.lsp"
ini_set "$ini" LspFullName "$(wpath "$real")"
start_nokari
printf '%s\n' Command '  c:run' Function '  one ()' '  SqlGet (db key)' '  two ()' > "$exp/real.tree"
expect "the tree holds SqlGet with its next-line parameters, and both functions of one line" \
  "$exp/real.tree" tree
expect_report "the tree of real code is nokari-check's" --tree "$real" tree
step "click 関数✔ on real code" click FunctionCheckButton
{
  printf '■ユーザー関数の出現数\n'
  # Each name padded to the longest line above it: no section stands before this one.
  printf '%-6s [  1]\n' one SqlGet two
  printf '■他のファイルで定義されている関数\nhelper lib.lsp\n'
} > "$exp/real.funcs"
expect "関数✔ lists helper under the functions of other files, with its file" "$exp/real.funcs" \
  text Panel
close_nokari "$started"
ini_set "$ini" LspFullName "$basic_w"

. "$root/e2e/editor_peers.sh"
editor_peer_suite

. "$root/e2e/dock_and_reload.sh"
dock_and_reload_suite

. "$root/e2e/automation.sh"
automation_suite

. "$root/e2e/cad_peers.sh"
cad_peer_suite

if [ -s "$work/restarts" ]; then
  echo "== Wine ended the driver before it started, $(wc -l < "$work/restarts") times:"
  sed 's/^/     /' "$work/restarts"
fi
echo "== e2e took $(($(date +%s) - t0)) s"
finish
