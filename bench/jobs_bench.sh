#!/usr/bin/env bash
# nokari-check's lint mode on one thread and on several: a few hundred generated files of
# 200 to 3,000 lines each, every setting run in turn, best and median wall-clock times.
#   jobs_bench.sh [BUILD_DIR] [FILES] [ROUNDS] [JOBS...]
# Defaults: build/native, 300 files, 7 rounds, -j 1 and -j 2. The machine should be otherwise
# idle: other work on it shows up as noise.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$root/build/native}")
files=${2:-300}
rounds=${3:-7}
shift $(($# < 3 ? $# : 3))
jobs=("$@")
[ ${#jobs[@]} -gt 0 ] || jobs=(1 2)
bin=$build/nokari-check
gen=$build/bench/lsp-gen
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for i in $(seq 1 "$files"); do
  "$gen" --lines $((200 + i * 9973 % 2800)) --defuns $((10 + i % 90)) --seed "$i" \
    "$scratch/f$i.lsp"
done
echo "$files files, $(cat "$scratch"/*.lsp | wc -l) lines; $(nproc) processors; load: $(cut -d' ' -f1-3 /proc/loadavg)"

declare -A times
for _ in $(seq 1 "$rounds"); do
  for j in "${jobs[@]}"; do
    start=$(date +%s%N)
    "$bin" --data-dir "$root/data" -j "$j" "$scratch" >/dev/null || [ $? -eq 1 ]
    times[$j]+="$((($(date +%s%N) - start) / 1000000)) "
  done
done

base=
for j in "${jobs[@]}"; do
  read -r -a t <<<"$(tr ' ' '\n' <<<"${times[$j]}" | sort -n | tr '\n' ' ')"
  best=${t[0]}
  median=${t[$((${#t[@]} / 2))]}
  [ -n "$base" ] || base=$median
  printf -- '-j %-3s best %5d ms  median %5d ms  speed-up (median) %s\n' "$j" "$best" "$median" \
    "$(awk -v a="$base" -v b="$median" 'BEGIN { printf "%.2f", a / b }')"
done
