#include "app/list_files.h"

#include "source/decode.h"

namespace nokari {

ListFileRead readListFile(const Files& files, const Text& path, const CodePage& ansi) {
  ListFileRead r;
  const bool exists = files.exists(path);
  ReadResult raw = files.readAll(path);
  // A folder in the list's place is no missing list: it is refused, saying what it is.
  if (!exists && (raw.ok || raw.error != u"is a directory")) return r;
  if (!raw.ok) {
    r.status = ListFileRead::Unreadable;
    r.error = raw.error;
    return r;
  }
  r.status = ListFileRead::Read;
  r.lines = decodeTextFile(raw.bytes, ansi).lines;
  return r;
}

namespace {

// The lines of the list file `name` in folder; `read`, when given, learns how the read went.
TextList listFileLines(const Files& files, const Text& folder, const char16_t* name,
                       const CodePage& ansi, ListFileRead* read) {
  ListFileRead r = readListFile(files, joinPath(folder, name), ansi);
  TextList lines = r.lines;
  if (read) *read = std::move(r);
  return lines;
}

}  // namespace

ExclusionList loadExclusionList(const Files& files, const Text& folder, const CodePage& ansi,
                                ListFileRead* read) {
  return ExclusionList::withFileLines(listFileLines(files, folder, kExclusionFileName, ansi, read));
}

BuiltinList loadBuiltinList(const Files& files, const Text& folder, const CodePage& ansi,
                            ListFileRead* read) {
  return BuiltinList::fromFileLines(listFileLines(files, folder, kBuiltinFileName, ansi, read));
}

}  // namespace nokari
