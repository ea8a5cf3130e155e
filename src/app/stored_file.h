// Reading and saving the files the program keeps beside itself (settings, history): a file
// that was not read exactly is never written, and a save that does not happen says why.
#pragma once

#include <functional>
#include <optional>

#include "platform/files.h"
#include "source/stored_text.h"

namespace nokari {

// How a stored file was found when it was read.
struct StoredRead {
  enum Status { Missing, Read, Unreadable, Inexact } status = Missing;
  Text error;  // Unreadable: why, in the user's words
  // Read or Missing: the program may write the file.
  bool writable() const { return status == Missing || status == Read; }
};

struct LoadedStoredFile {
  StoredRead read;
  StoredText text;  // empty unless read is Read
};

LoadedStoredFile loadStoredFile(const Text& path, const Files& files, const CodePage& ansi);

// Reads the file again, applies change and writes it back, unless it was not read exactly at
// start (atStart) or now, or it is read-only, or the write fails: then the reason, for the user.
std::optional<Text> saveStoredFile(const Text& path, const StoredRead& atStart,
                                   const std::function<void(StoredText&)>& change,
                                   const Files& files, const CodePage& ansi);

// The message at exit for the files that were not saved: each path with its reason.
Text notSavedMessage(const TextList& pathsWithReasons);

}  // namespace nokari
