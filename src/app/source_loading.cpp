#include "app/source_loading.h"

#include "source/decode.h"

namespace nokari {

LoadedSource loadSourceLines(const Text& path, const Files& files, const CodePage& ansi) {
  LoadedSource out;
  ReadResult read = files.readAll(path);
  if (!read.ok) {
    out.error = read.error;
    return out;
  }
  DecodedSource decoded = decodeSource(read.bytes, ansi);
  out.ok = true;
  out.lines = std::move(decoded.lines);
  out.encoding = decoded.encoding;
  return out;
}

bool isFileLocked(const Text& path, const Files& files) {
  if (!files.exists(path)) return false;
  return !files.canOpenExclusive(path);
}

}  // namespace nokari
