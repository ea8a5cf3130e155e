#!/usr/bin/env bash
# nokari-check against what only a real system has: FIFOs, devices, folders, a full disk, file
# names that are not UTF-8 and symbolic links. Every run is bounded, so a read that blocks fails the test
# instead of hanging it.
#   system_files_test.sh BIN DATA_DIR
set -u
bin=$(readlink -f "$1")
data=$(readlink -f "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 2

sjis=$'\x8a\xbf\x8e\x9a.lsp'  # "漢字.lsp" in Shift-JIS bytes
printf '(defun f (a) (setq g 1))\n(f 1)\n' >ok.lsp
cp ok.lsp "$sjis"
printf '(defun h (b) b)\n(h 1)\n' >clean.lsp
mkfifo fifo
mkdir folder lists
mkfifo lists/jogaiList.txt
findings=$'ok.lsp:1:11: unused-argument: a\nok.lsp:1:20: global: g'
# A folder tree: nested folders, upper-case names, a file that is no .lsp, a link to a file and
# links to folders, one of them back up.
mkdir -p proj/sub/deeper elsewhere empty loops
for f in proj/a.lsp proj/B.LSP proj/sub/c.Lsp proj/sub/deeper/d.lsp elsewhere/e.lsp; do
  printf '(defun k (a) 1)\n(k 1)\n' >"$f"
done
cp proj/a.lsp proj/notes.txt
ln -s .. proj/sub/up
ln -s ../../elsewhere proj/sub/other
ln -s ../a.lsp proj/sub/link.lsp
ln -s self.lsp loops/self.lsp
tree=$(printf 'proj/%s:1:11: unused-argument: a\n' B.LSP a.lsp sub/c.Lsp sub/deeper/d.lsp sub/link.lsp)

fail=0
# check NAME RC STDOUT STDERR [> TARGET] -- ARGS: runs nokari-check with ARGS and compares.
check() {
  local name=$1 rc=$2 out=$3 err=$4 target=$5
  shift 6
  local got gotErr gotRc
  if [ "$target" = - ]; then
    got=$(timeout 5 "$bin" "$@" 2>err.txt; echo "rc=$?")
  else
    got=$(timeout 5 "$bin" "$@" >"$target" 2>err.txt; echo "rc=$?")
  fi
  gotRc=${got##*rc=}
  got=${got%rc=*}
  got=${got%$'\n'}
  gotErr=$(cat err.txt)
  if [ "$gotRc" != "$rc" ] || [ "$got" != "$out" ] || [ "$gotErr" != "$err" ]; then
    echo "FAIL $name: rc $gotRc (want $rc)"
    echo "  stdout: $(printf '%s' "$got" | od -c | head -n 4)"
    echo "  stderr: $gotErr"
    fail=1
  fi
}

d=(--data-dir "$data")
check "FIFO as the report's file" 2 "" "nokari-check: cannot read fifo: not a regular file" - -- \
  "${d[@]}" --tree fifo
check "a device" 2 "" "nokari-check: cannot read /dev/zero: not a regular file" - -- \
  "${d[@]}" --code /dev/zero
check "a folder" 2 "" "nokari-check: cannot read folder: is a directory" - -- \
  "${d[@]}" --tree folder
check "output to a full disk" 2 "" \
  "nokari-check: cannot write the output: No space left on device" /dev/full -- \
  "${d[@]}" --tree ok.lsp
check "lint mode goes past a FIFO" 2 "$findings" \
  "nokari-check: cannot read fifo: not a regular file" - -- "${d[@]}" ok.lsp fifo clean.lsp
check "a Shift-JIS file name prints as given" 0 "${findings//ok.lsp/$sjis}" "" - -- \
  "${d[@]}" "$sjis"
check "a missing Shift-JIS name in the message" 2 "" \
  "nokari-check: cannot read x$sjis: No such file or directory" - -- "${d[@]}" --tree "x$sjis"
check "a FIFO as the exclusion list" 0 "" \
  "nokari-check: warning: cannot read lists/jogaiList.txt: not a regular file; the default exclusions apply
nokari-check: warning: no lists/AutoLispFuncList.txt; no built-in function is known: every call of one is undefined" \
  - -- --data-dir lists clean.lsp
mkdir -p folderlists/AutoLispFuncList.txt
check "a folder as the function list, required" 2 "" \
  "nokari-check: cannot read folderlists/AutoLispFuncList.txt: is a directory; no built-in function is known: every call of one is undefined (--require-lists)" \
  - -- --data-dir folderlists --require-lists clean.lsp
check "a folder tree" 0 "$tree" "" - -- "${d[@]}" proj
check "a folder between files, threads" 0 "${findings}"$'\n'"$tree"$'\n'"$tree" "" - -- \
  "${d[@]}" -j 3 ok.lsp proj proj/
check "a folder without .lsp files" 0 "" "nokari-check: warning: no .lsp file in empty" - -- \
  "${d[@]}" empty
check "a link to itself" 2 "" \
  "nokari-check: cannot read loops/self.lsp: Too many levels of symbolic links" - -- "${d[@]}" loops

[ "$fail" -eq 0 ] && echo "system files: all passed"
exit "$fail"
