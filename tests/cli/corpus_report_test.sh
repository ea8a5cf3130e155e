#!/usr/bin/env bash
# scripts/corpus_report.sh counts the findings per category, one column per program given:
# here the lint as one program against the lint file by file.
#   corpus_report_test.sh BIN
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(readlink -f "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/code/sub"
printf '(defun fa (a) (setq g 1))\n' >"$scratch/code/a.lsp"
printf '(defun h () (fa 1) (zz))\n(h)\n' >"$scratch/code/sub/b.lsp"
printf '#!/bin/sh\nexec "%s" --per-file "$@"\n' "$bin" >"$scratch/per-file"
chmod +x "$scratch/per-file"
want="category                     run1     run2
global                          1        1
undefined-function              1        2
unused-argument                 1        1
unreferenced-function           0        1
total                           3        5"
got=$(bash "$root/scripts/corpus_report.sh" "$scratch/code" "$bin" "$scratch/per-file" 2>&1)
if [ "$got" = "$want" ]; then
  echo "ok   corpus_report.sh"
else
  echo "FAIL corpus_report.sh"
  diff -u <(echo "$want") <(echo "$got") | sed 's/^/     /'
  exit 1
fi
