#!/usr/bin/env bash
# Each report of nokari-check on one generated file against `wc -l` on the same file: the best
# of ROUNDS whole-process wall-clock times and their ratio, and each report's peak memory
# (max RSS, best of the runs) against the file's size.
#   cli_ratio.sh [BUILD_DIR] [LINES] [ROUNDS]
# Defaults: build/native, 100,000 lines (a twentieth as many defuns, a tenth nested), 5 rounds.
# With NO_THP=1 in the environment the programs timed get no transparent huge pages.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$root/build/native}")
lines=${2:-100000}
rounds=${3:-5}
bin=$build/nokari-check
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
file=$scratch/gen.lsp
"$build/bench/lsp-gen" --lines "$lines" --defuns $((lines / 20)) --nested 0.1 "$file"
bytes=$(stat -c %s "$file")

# Best wall-clock milliseconds of a command over the rounds, timed by one Python process that
# starts each run itself (a shell's own fork and clock reads would be timed too).
best_ms() {
  python3 - "$rounds" "$@" <<'PY'
import ctypes, os, subprocess, sys, time
rounds, cmd = int(sys.argv[1]), sys.argv[2:]
if os.environ.get("NO_THP"):
    # PR_SET_THP_DISABLE, inherited by the programs started: no transparent huge pages.
    ctypes.CDLL(None, use_errno=True).prctl(41, 1, 0, 0, 0)
best = float("inf")
for _ in range(rounds):
    t = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    best = min(best, time.perf_counter() - t)
print(f"{best * 1000:.3f}")
PY
}

peak_kb() {
  /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1
}

wc_ms=$(best_ms wc -l "$file")
echo "$lines lines, $bytes bytes; $(nproc) processors; load: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-12s %9s %7s %10s %8s\n' report ms ratio "peak MB" "x file"
printf '%-12s %9s %7s\n' "wc -l" "$wc_ms" 1.0
for report in --tree --vars --parens --funcs --catalogue; do
  ms=$(best_ms "$bin" --data-dir "$root/data" "$report" "$file")
  kb=$(peak_kb "$bin" --data-dir "$root/data" "$report" "$file")
  awk -v r="$report" -v ms="$ms" -v wc="$wc_ms" -v kb="$kb" -v b="$bytes" \
    'BEGIN { printf "%-12s %9.1f %7.1f %10.1f %8.1f\n", r, ms, ms / wc, kb / 1024, kb * 1024 / b }'
done
