// The file system as the program uses it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"

namespace nokari {

// Files larger than this are refused rather than read into memory.
inline constexpr unsigned long long kMaxSourceBytes = 256ull << 20;

struct ReadResult {
  bool ok = false;
  std::string bytes;
  Text error;  // why the read failed, in the user's words
};

struct WriteResult {
  bool ok = false;
  bool readOnly = false;  // the file is marked read-only and was left as it was
  Text error;             // why the write failed, in the user's words
};

// A file of a folder: its name without the folder, and its size in bytes.
struct FileEntry {
  Text name;
  unsigned long long size = 0;
};

class Files {
 public:
  virtual ~Files() = default;
  virtual bool exists(const Text& path) const = 0;  // a file, not a folder
  virtual ReadResult readAll(const Text& path) const = 0;
  // Opens the existing file for reading and writing with no sharing, then closes it.
  virtual bool canOpenExclusive(const Text& path) const = 0;
  // Replaces the file's content whole: written beside it first, then put in its place in one
  // step, so a failure leaves the old file as it was. A symbolic link keeps pointing at its
  // target, which gets the new content; the file keeps its permissions. A file marked
  // read-only is not replaced.
  virtual WriteResult writeReplace(const Text& path, const std::string& bytes) const = 0;
  // The files directly in folder (no folders), in no particular order; none when it cannot
  // be listed.
  virtual std::vector<FileEntry> filesIn(const Text& folder) const = 0;
};

// The real file system of this platform.
std::unique_ptr<Files> makeSystemFiles();
// The folder of the running program, without a trailing separator.
Text programFolder();
// Joins a folder and a file name with the platform's separator.
Text joinPath(const Text& folder, const Text& name);
// The file name part of a path (after the last "\\" or "/").
Text fileNamePart(const Text& path);

}  // namespace nokari
