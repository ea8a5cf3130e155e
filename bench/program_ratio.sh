#!/usr/bin/env bash
# The lint of a folder as one program against the same lint file by file (--per-file): the
# best of ROUNDS whole-process wall-clock times of each and their ratio.
#   program_ratio.sh DIR [BUILD_DIR] [ROUNDS] [JOBS]
# Defaults: build/native, 10 rounds, one job per processor.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: program_ratio.sh DIR [BUILD_DIR] [ROUNDS] [JOBS]" >&2; exit 2; }
dir=$(readlink -f "$1")
build=$(readlink -f "${2:-$root/build/native}")
rounds=${3:-10}
jobs=${4:-$(nproc)}
bin=$build/nokari-check

best_ms() {
  python3 - "$rounds" "$dir" "$@" <<'PY'
import subprocess, sys, time
rounds, where, cmd = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
best = float("inf")
for _ in range(rounds):
    t = time.perf_counter()
    subprocess.run(cmd, cwd=where, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    best = min(best, time.perf_counter() - t)
print(f"{best * 1000:.3f}")
PY
}

files=$(find "$dir" -iname '*.lsp' -type f | wc -l)
lines=$(find "$dir" -iname '*.lsp' -type f -exec cat {} + | wc -l)
echo "$dir: $files files, $lines lines; -j $jobs; load: $(cut -d' ' -f1-3 /proc/loadavg)"
per=$(best_ms "$bin" --data-dir "$root/data" -j "$jobs" --per-file .)
one=$(best_ms "$bin" --data-dir "$root/data" -j "$jobs" .)
awk -v p="$per" -v o="$one" 'BEGIN {
  printf "%-14s %9.1f ms\n%-14s %9.1f ms\nratio %.2f (target <= 1.5)\n", "--per-file", p, "one program", o, o / p }'
