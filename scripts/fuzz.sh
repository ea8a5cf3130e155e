#!/usr/bin/env bash
# Builds every fuzz target of fuzz/ with clang (libFuzzer, ASan, UBSan) and runs each in turn.
#   scripts/fuzz.sh [SECONDS]    run each target for SECONDS (default 60)
# Build folder: $NOKARI_FUZZ_BUILD (default build/fuzz). New corpus entries go to its
# corpus/TARGET/, crash inputs to its artifacts/; fuzz/corpus/ only seeds the runs and is never
# written. The first target that finds a crash ends the script with its status.
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
targets=(load_fuzz checks_fuzz)
ninja -C "$build" "${targets[@]}"
mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  echo "== $target, $secs s"
  mkdir -p "$build/corpus/$target"
  "$build/fuzz/$target" -max_total_time="$secs" -print_final_stats=1 \
    -dict="$root/fuzz/lsp.dict" -artifact_prefix="$build/artifacts/$target-" \
    "$build/corpus/$target" "$root/fuzz/corpus"
done
