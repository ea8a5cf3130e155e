#!/usr/bin/env bash
# Runs nokari-check on every golden input and compares its output with the expected files.
#   golden.sh check BIN [RUNNER...]   compare BIN's output (optionally run through RUNNER, e.g. wine)
#   golden.sh update BIN              rewrite the expected files from BIN's output
set -u
mode=$1; shift
bin=$1; shift
[ -e "$bin" ] && bin=$(readlink -f "$bin")
runner=("$@")
here=$(cd "$(dirname "$0")/.." && pwd)
dir=$here/tests/golden
data=$here/data
fail=0; count=0
cd "$dir" || exit 2
for expected in *.out; do
  # NAME.REPORT.out: input NAME.lsp, report --REPORT
  base=${expected%.out}; report=${base##*.}; name=${base%.*}
  input=$name.lsp
  args=(--data-dir "$data" --ansi-codepage 932 --time "2026/12/09 12:34:56" "--$report" "$input")
  [ "$report" = exclusions ] && args=(--data-dir "$data" --exclusions)
  tmp=$(mktemp)
  "${runner[@]}" "$bin" "${args[@]}" > "$tmp" 2>/dev/null
  echo "rc=$?" >> "$tmp"
  count=$((count + 1))
  if [ "$mode" = update ]; then
    cp "$tmp" "$expected"
  elif ! cmp -s "$tmp" "$expected"; then
    echo "golden mismatch: $expected"
    diff "$tmp" "$expected" | head -n 20
    fail=$((fail + 1))
  fi
  rm -f "$tmp"
done
echo "golden: $((count - fail)) passed, $fail failed"
[ "$fail" -eq 0 ]
