// Folders as the command line names them: what each holds, and the current folder.
#pragma once

#include <vector>

#include "base/text.h"

namespace nokari {

struct FolderEntry {
  Text name;
  bool folder = false;  // a folder to look into; anything else counts as a file
};

struct FolderListing {
  enum Status { NotAFolder, Listed, Failed };
  Status status = NotAFolder;
  // In no particular order, without "." and "..". A symbolic link to a folder (on Windows
  // any folder that is a reparse point, junctions included) is left out: it is not followed.
  std::vector<FolderEntry> entries;
  Text error;  // Failed: why the folder could not be read
};

// Lists path when it is a folder (path itself may be a link). Anything else, including a
// path that does not exist, is NotAFolder: reading it as a file tells what is wrong.
FolderListing listFolder(const Text& path);

// True when both paths lead to the same folder, through whatever links or mounts; false when
// either cannot be looked at.
bool sameFolder(const Text& a, const Text& b);

// The absolute path of an existing file or folder with every link resolved; empty when it
// cannot be found.
Text realPath(const Text& path);

// The current folder, absolute, without a trailing separator (unless it is a root).
Text currentFolder();

// Whether "\" separates the parts of a path (Windows) or is a character of a name.
#if defined(_WIN32)
inline constexpr bool kBackslashSeparates = true;
#else
inline constexpr bool kBackslashSeparates = false;
#endif

}  // namespace nokari
