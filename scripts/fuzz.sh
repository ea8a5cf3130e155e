#!/usr/bin/env bash
# Builds the load fuzzer with clang (libFuzzer, ASan, UBSan) and runs it.
#   scripts/fuzz.sh [SECONDS]    run for SECONDS (default 60)
# Build folder: $NOKARI_FUZZ_BUILD (default build/fuzz). New corpus entries go to its corpus/,
# crash inputs to its artifacts/; fuzz/corpus/ only seeds the run and is never written.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:-60}
case $secs in
  '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2 ;;
esac
build=${NOKARI_FUZZ_BUILD:-$root/build/fuzz}

missing=()
for tool in clang clang++ cmake ninja; do command -v "$tool" >/dev/null || missing+=("$tool"); done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: clang cmake ninja-build"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    clang cmake ninja-build >/dev/null
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DNOKARI_FUZZ=ON -DNOKARI_TESTS=OFF -DNOKARI_BENCH=OFF -DNOKARI_WERROR=OFF >/dev/null
ninja -C "$build" load_fuzz
mkdir -p "$build/corpus" "$build/artifacts"
exec "$build/fuzz/load_fuzz" -max_total_time="$secs" -print_final_stats=1 \
  -dict="$root/fuzz/lsp.dict" -artifact_prefix="$build/artifacts/" \
  "$build/corpus" "$root/fuzz/corpus"
