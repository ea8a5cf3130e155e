#include "app/list_files.h"

#include "source/decode.h"

namespace nokari {

ListFileRead readListFile(const Files& files, const Text& path, const CodePage& ansi) {
  ListFileRead r;
  if (!files.exists(path)) return r;
  ReadResult raw = files.readAll(path);
  if (!raw.ok) {
    r.status = ListFileRead::Unreadable;
    r.error = raw.error;
    return r;
  }
  r.status = ListFileRead::Read;
  r.lines = decodeTextFile(raw.bytes, ansi).lines;
  return r;
}

ExclusionList loadExclusionList(const Files& files, const Text& folder, const CodePage& ansi,
                                ListFileRead* read) {
  ListFileRead r = readListFile(files, joinPath(folder, kExclusionFileName), ansi);
  ExclusionList list = ExclusionList::withFileLines(r.lines);
  if (read) *read = std::move(r);
  return list;
}

BuiltinList loadBuiltinList(const Files& files, const Text& folder, const CodePage& ansi,
                            ListFileRead* read) {
  ListFileRead r = readListFile(files, joinPath(folder, kBuiltinFileName), ansi);
  BuiltinList list = BuiltinList::fromFileLines(r.lines);
  if (read) *read = std::move(r);
  return list;
}

}  // namespace nokari
