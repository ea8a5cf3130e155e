// The short list of opened files, newest first, kept in "NokariHist.txt".
#pragma once

#include <optional>

#include "app/stored_file.h"
#include "platform/files.h"

namespace nokari {

inline constexpr size_t kHistoryMax = 20;

struct FileHistory {
  TextList entries;  // full paths, newest first
  StoredRead read;   // how the file was found at start
};

// Reads the history file; a missing or unreadable one gives an empty list.
FileHistory loadFileHistory(const Text& path, const Files& files, const CodePage& ansi);

// Moves path to the front (paths compare whole, ignoring case; only the first match counts),
// or inserts it there when absent; then keeps the first 20 entries.
void addToFileHistory(TextList& entries, const Text& path);

// The update at exit: the current file moves to the front when it is in the list, and the list
// is cut to 20 entries.
void updateFileHistoryAtExit(TextList& entries, const Text& lspFullName);

// Writes the list whole (also when empty) in the encoding and line endings the file has,
// replacing it in one step. Nothing is written when the file was not read exactly at start or
// now; the result is then the reason, as it is when the write fails.
std::optional<Text> writeFileHistory(const Text& path, const FileHistory& history,
                                     const Files& files, const CodePage& ansi);

}  // namespace nokari
