#include "app/file_history.h"

#include "platform/collate.h"

namespace nokari {

namespace {

std::ptrdiff_t indexOf(const TextList& entries, const Text& path) {
  for (size_t i = 0; i < entries.size(); ++i)
    if (sameTextIgnoreCase(entries[i], path)) return static_cast<std::ptrdiff_t>(i);
  return -1;
}

void trimToMax(TextList& entries) {
  if (entries.size() > kHistoryMax) entries.resize(kHistoryMax);
}

}  // namespace

FileHistory loadFileHistory(const Text& path, const Files& files, const CodePage& ansi) {
  FileHistory h;
  LoadedStoredFile f = loadStoredFile(path, files, ansi);
  h.read = f.read;
  h.entries = f.text.lines();
  return h;
}

void addToFileHistory(TextList& entries, const Text& path) {
  if (path.empty()) return;
  std::ptrdiff_t at = indexOf(entries, path);
  if (at != 0) {
    if (at > 0) entries.erase(entries.begin() + at);
    entries.insert(entries.begin(), path);
  }
  trimToMax(entries);
}

void updateFileHistoryAtExit(TextList& entries, const Text& lspFullName) {
  std::ptrdiff_t at = indexOf(entries, lspFullName);
  if (at > 0) {
    Text moved = entries[static_cast<size_t>(at)];
    entries.erase(entries.begin() + at);
    entries.insert(entries.begin(), std::move(moved));
  }
  trimToMax(entries);
}

std::optional<Text> writeFileHistory(const Text& path, const FileHistory& history,
                                     const Files& files, const CodePage& ansi) {
  return saveStoredFile(
      path, history.read, [&](StoredText& text) { text.replaceLines(history.entries); }, files,
      ansi);
}

}  // namespace nokari
