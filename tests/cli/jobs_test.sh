#!/usr/bin/env bash
# Threads never change the lint mode's output: a few hundred generated files, in folders and
# named one by one, give the same bytes and exit status with -j 1 and -j 8 in every format.
#   jobs_test.sh BIN LSP_GEN DATA_DIR
set -u
bin=$(readlink -f "$1")
gen=$(readlink -f "$2")
data=$(readlink -f "$3")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 2

encodings=(utf8 utf8-bom sjis utf16le)
for i in $(seq 1 300); do
  dir=tree/d$((i % 7))/e$((i % 3))
  mkdir -p "$dir"
  "$gen" --lines $((40 + i * 13 % 500)) --defuns $((2 + i % 25)) --lf \
    --encoding "${encodings[i % 4]}" --seed "$i" "$dir/f$i.lsp" || exit 2
done
printf '(defun f (\n' >tree/unbalanced.lsp
args=(tree tree/d1/e1/f1.lsp missing.lsp tree/d2)

fail=0
for format in text json sarif; do
  for jobs in 1 8; do
    "$bin" --data-dir "$data" --ansi-codepage 932 --format "$format" -j "$jobs" "${args[@]}" \
      >"out.$jobs" 2>"err.$jobs"
    echo "rc=$?" >>"out.$jobs"
  done
  if ! cmp -s out.1 out.8 || ! cmp -s err.1 err.8; then
    echo "FAIL $format: -j 8 differs from -j 1"
    diff out.1 out.8 | head -n 5
    fail=1
  fi
  # The run must have had something to keep in order.
  [ "$(wc -l <out.1)" -gt 1000 ] || { echo "FAIL $format: only $(wc -l <out.1) lines"; fail=1; }
done
[ "$fail" -eq 0 ] && echo "jobs: all passed"
exit "$fail"
