// Reading a source file into source lines.
#pragma once

#include "platform/files.h"
#include "source/decode.h"

namespace nokari {

struct LoadedSource {
  bool ok = false;
  Lines lines;
  Encoding encoding = Encoding::Utf8;
  Text error;  // why the file could not be read
};

// Reads and decodes path: BOM, else strict UTF-8, else the ANSI code page.
LoadedSource loadSourceLines(const Text& path, const Files& files, const CodePage& ansi);

// True when the file exists and cannot be opened exclusively (the editor still writes it, or
// it is read-only).
bool isFileLocked(const Text& path, const Files& files);

}  // namespace nokari
