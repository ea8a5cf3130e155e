#!/usr/bin/env bash
# Every C++ file of the project reads as clang-format (.clang-format) writes it.
#   format_test.sh [CLANG_FORMAT]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-clang-format}
command -v "$tool" >/dev/null || { echo "FAIL: no $tool (scripts/deps.sh installs it)"; exit 1; }
cd "$root" || exit 2
bad=0
while IFS= read -r -d '' f; do
  if ! "$tool" --dry-run -Werror "$f" >/dev/null 2>&1; then
    echo "FAIL $f is not formatted: $tool -i $f"
    bad=$((bad + 1))
  fi
done < <(find src tests e2e bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0)
[ "$bad" -eq 0 ] && echo "format: every file as clang-format writes it"
[ "$bad" -eq 0 ]
