#!/usr/bin/env bash
# The lint's findings over a folder of real code, counted per category: one column per
# nokari-check given (default: the native build's), so a change shows its effect in one table.
#   corpus_report.sh DIR [NOKARI_CHECK...]
# Options for every run go in NOKARI_CHECK_ARGS (for example "--per-file"); the list files are
# those of the repository's data folder unless the options name another.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: corpus_report.sh DIR [NOKARI_CHECK...]" >&2; exit 2; }
dir=$1
shift
bins=("$@")
[ ${#bins[@]} -gt 0 ] || bins=("$root/build/native/nokari-check")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for i in "${!bins[@]}"; do
  # Exit status 1 (findings, unbalanced files) is the normal outcome here.
  # shellcheck disable=SC2086
  (cd "$dir" && "${bins[$i]}" --data-dir "$root/data" ${NOKARI_CHECK_ARGS:-} .) \
    >"$scratch/out$i" 2>"$scratch/err$i" || [ $? -eq 1 ] ||
    { echo "corpus_report.sh: ${bins[$i]} failed:" >&2; cat "$scratch/err$i" >&2; exit 2; }
  # "path:line: category: name" (with a column after the line where one is printed).
  sed -E -n 's/^.*:[0-9]+(:[0-9]+)?: ([a-z-]+): .*$/\2/p' "$scratch/out$i" | sort | uniq -c |
    awk '{ print $2, $1 }' >"$scratch/count$i"
done
# Categories by the first run's count, most first.
cat "$scratch"/count* | awk '{ print $1 }' | sort -u |
  while read -r c; do echo "$(awk -v c="$c" '$1 == c { print $2 }' "$scratch/count0" | grep . || echo 0) $c"; done |
  sort -k1,1nr -k2 | awk '{ print $2 }' >"$scratch/categories"
count() { awk -v c="$1" '$1 == c { n = $2 } END { print n + 0 }' "$2"; }
printf '%-24s' category
for i in "${!bins[@]}"; do printf ' %8s' "run$((i + 1))"; done
printf '\n'
while read -r c; do
  printf '%-24s' "$c"
  for i in "${!bins[@]}"; do printf ' %8s' "$(count "$c" "$scratch/count$i")"; done
  printf '\n'
done <"$scratch/categories"
printf '%-24s' total
for i in "${!bins[@]}"; do printf ' %8s' "$(awk '{ s += $2 } END { print s + 0 }' "$scratch/count$i")"; done
printf '\n'
