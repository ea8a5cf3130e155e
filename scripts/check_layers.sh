#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a higher layer, or of a sibling layer:
#   base < platform < source < checks < app < editor, cad < gui, cli
# Inside platform/ and gui/, the system-specific folders (win32/, posix/) may be included
# only from their own kind; <windows.h> belongs to platform/win32 and gui/win32 alone.
# Usage: check_layers.sh [SRC_DIR]   (default: the repository's src/)
set -u
src=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}

declare -A rank=([base]=0 [platform]=1 [source]=2 [checks]=3 [app]=4 [editor]=5 [cad]=5
  [gui]=6 [cli]=6)

bad=0
complain() { echo "layers: $1"; bad=$((bad + 1)); }

while IFS= read -r file; do
  rel=${file#"$src"/}
  layer=${rel%%/*}
  own=${rank[$layer]:--1}
  if [ "$own" -lt 0 ]; then
    complain "$rel: src/$layer is not a known layer"
    continue
  fi
  # The system-specific part of the file's own layer, if any ("platform/win32").
  part=
  case $rel in */win32/* | */posix/*) part=${rel%/*} ;; esac
  while IFS= read -r inc; do
    dep=${inc%%/*}
    dr=${rank[$dep]:--1}
    if [ "$dr" -lt 0 ]; then
      complain "$rel includes \"$inc\": not a layer's header"
    elif [ "$dep" != "$layer" ] && [ "$dr" -ge "$own" ]; then
      complain "$rel includes \"$inc\": $dep is not below $layer"
    fi
    case $inc in
      */win32/* | */posix/*)
        incpart=${inc%/*}
        kind=${incpart#*/}
        # platform/win32 may serve gui/win32; otherwise only the same folder.
        if [ "$part" != "$incpart" ] && [ "$part" != "gui/$kind" -o "$incpart" != "platform/$kind" ]; then
          complain "$rel includes \"$inc\": system-specific code of another part"
        fi
        ;;
    esac
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  if grep -qiE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<windows\.h>' "$file"; then
    case $rel in
      platform/win32/* | gui/win32/*) ;;
      *) complain "$rel includes <windows.h> outside platform/win32 and gui/win32" ;;
    esac
  fi
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if [ "$bad" -gt 0 ]; then
  echo "layers: $bad wrong include(s)"
  exit 1
fi
echo "layers: every include goes down"
