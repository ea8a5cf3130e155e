#!/usr/bin/env bash
# The layer check on the real tree, and on small made-up trees that it must refuse.
set -u
check=$(cd "$(dirname "$0")/.." && pwd)/scripts/check_layers.sh
fail=0
bash "$check" || fail=1

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# name | file | its include line; each must make the check fail
while IFS='|' read -r name file line; do
  rm -rf "$scratch/src"
  mkdir -p "$scratch/src/base" "$(dirname "$scratch/src/$file")"
  printf '#pragma once\n' >"$scratch/src/base/text.h"
  printf '%s\n' "$line" >"$scratch/src/$file"
  if bash "$check" "$scratch/src" >/dev/null; then
    echo "layer check let through: $name"
    fail=1
  fi
done <<'CASES'
upwards|platform/files.h|#include "app/settings.h"
sibling|editor/jump.cpp|#include "cad/cad.h"
win32 from portable|gui/layout.h|#include "gui/win32/ids.h"
win32 of gui from platform|platform/win32/x.cpp|#include "gui/win32/window.h"
windows.h in the core|checks/x.cpp|#include <windows.h>
unknown folder|tools/x.cpp|#include "base/text.h"
CASES
exit "$fail"
