#!/usr/bin/env bash
# Builds the native tree (build/native) and the Windows cross build (build/win64).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
what=${1:-all}
if [ "$what" = all ] || [ "$what" = native ]; then
  cmake -S "$root" -B "$root/build/native" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/native" -j "$(nproc)"
fi
if [ "$what" = all ] || [ "$what" = win64 ]; then
  cmake -S "$root" -B "$root/build/win64" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$root/build/win64" -j "$(nproc)"
fi
