#!/usr/bin/env bash
# Benchmarks: the Google Benchmark cases of the analyses (native build), then the window under
# Wine and Xvfb against nokari-check.exe on the same generated files. Prints one table: for each
# size, the start to the window shown with its tree filled ("tree", next to --tree), the start
# to the window shown ("shown"), the start to the end of its start sequence, whose variable
# check runs in the shown window ("start", next to --vars), and each check button's click to
# its filled panel, next to the whole nokari-check.exe run with the matching option (best of
# BENCH_RUNS runs each).
#
#   BENCH_SIZES   line counts of the generated files (default "10000 100000 1000000")
#   BENCH_RUNS    runs per measurement, the best one counts (default 3)
#   BENCH_NATIVE  0 skips the Google Benchmark cases
#   BENCH_EXE     another Nokari.exe to time (an older build, say) instead of build/win64's
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
sizes=${BENCH_SIZES:-10000 100000 1000000}
runs=${BENCH_RUNS:-3}
. "$root/e2e/wine_session.sh"

bash "$root/scripts/build.sh" all > /tmp/nokari-bench-build.$$ 2>&1 ||
  { tail -n 30 /tmp/nokari-bench-build.$$; rm -f /tmp/nokari-bench-build.$$; exit 1; }
rm -f /tmp/nokari-bench-build.$$

if [ "${BENCH_NATIVE:-1}" != 0 ] && [ -x "$root/build/native/bench/nokari_bench" ]; then
  echo "== analyses (native, Google Benchmark)"
  "$root/build/native/bench/nokari_bench" --benchmark_min_time=0.2
fi

begin_scratch_session nokari-bench

prog=$work/program
mkdir -p "$prog"
cp "${BENCH_EXE:-$root/build/win64/Nokari.exe}" "$prog/Nokari.exe"
cp "$root/build/win64/nokari-check.exe" "$prog/"
cp "$root/data/AutoLispFuncList.txt" "$prog/"
driver=$root/build/win64/e2e/nokari-e2e.exe
ini=$prog/Nokari.ini

echo "== window under Wine (best of $runs)"
start_xvfb || exit 1
timeout 180 wineboot -i > /dev/null 2>&1
timeout 30 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null 2>&1
prog_w=$(timeout 30 winepath -w "$prog")

drv() { timeout 900 wine "$driver" --timeout 600 "$@" 2> "$work/err"; }
# best CMD...: the least of BENCH_RUNS printed numbers; "-" when a run failed.
best() {
  local i ms least=
  for i in $(seq "$runs"); do
    ms=$("$@") || { echo "     failed: $* $(head -c 200 "$work/err")" >&2; echo -; return; }
    if [ -z "$least" ] || [ "$ms" -lt "$least" ]; then least=$ms; fi
  done
  echo "$least"
}
# One window per run: start, then every button once.
window_runs() {
  local i ms
  for i in $(seq "$runs"); do
    # Into a file: the program started inherits the output, and a pipe would wait for its end.
    drv bench-start "$prog_w\\Nokari.exe" > "$work/start" || { echo "tree -"; return; }
    { read -r filled; read -r shown; read -r over; } < "$work/start"
    echo "tree $filled"
    echo "shown $shown"
    echo "start $over"
    for row in "vars 110" "parens 109" "funcs 112" "catalogue 108"; do
      set -- $row
      ms=$(drv bench-click "$2") || ms=-
      echo "$1 $ms"
    done
    drv close > /dev/null || true
  done
}
# least ROW: the best time of ROW among the window runs.
least() { awk -v row="$1" '$1 == row && $2 != "-" && (b == "" || $2 + 0 < b) { b = $2 + 0 } END { print (b == "" ? "-" : b) }' "$work/window"; }

table=$work/table
printf '%-10s %-10s %10s %15s %7s\n' lines row "window ms" "nokari-check ms" ratio > "$table"
for n in $sizes; do
  file=$work/gen-$n.lsp
  "$root/build/native/bench/lsp-gen" --lines "$n" --defuns $((n / 20)) --nested 0.1 \
    --non-ascii 0.1 --crlf "$file" || exit 1
  file_w=$(timeout 30 winepath -w "$file")
  ini_set "$ini" LspFullName "$file_w"
  window_runs > "$work/window"
  : > "$work/cli"
  for row in tree shown start vars parens funcs catalogue; do
    win=$(least "$row")
    case $row in shown) option= ;; start) option=vars ;; *) option=$row ;; esac
    cli=-
    if [ -n "$option" ]; then
      # One measurement per option: the start's row shares the variable check's.
      cli=$(awk -v o="$option" '$1 == o { print $2 }' "$work/cli")
      if [ -z "$cli" ]; then
        cli=$(best drv bench-run "$prog_w\\nokari-check.exe" "--$option" "$file_w")
        echo "$option $cli" >> "$work/cli"
      fi
    fi
    ratio=-
    if [ "$win" != - ] && [ "$cli" != - ] && [ "$cli" -gt 0 ]; then
      ratio=$(awk -v a="$win" -v b="$cli" 'BEGIN { printf "%.2f", a / b }')
    fi
    printf '%-10s %-10s %10s %15s %7s\n' "$n" "$row" "$win" "$cli" "$ratio" >> "$table"
  done
  rm -f "$file"
done
echo
cat "$table"
