// The exclusion list: names the variable check never treats as variables.
#pragma once

#include <string>

#include "platform/files.h"
#include "source/decode.h"
#include "base/text.h"

namespace nokari {

// The name of the user's own list file beside the program.
inline constexpr char16_t kExclusionFileName[] = u"jogaiList.txt";

// The predefined symbols of AutoLISP and the automation constants, comma-separated.
extern const char16_t kDefaultExclusionText[];

// Sorted once after it is built; lookups ignore letter case.
class ExclusionList {
 public:
  // An empty list: every name is a candidate as far as the list is concerned.
  ExclusionList() = default;
  // The default entries only.
  static ExclusionList defaults();
  // The defaults plus the lines of a list file (already decoded), then sorted.
  static ExclusionList withFileLines(const TextList& fileLines);

  bool contains(std::u16string_view name) const;
  bool empty() const { return entries_.empty(); }
  // In sorted order, as the "除外" button lists them.
  const TextList& entries() const { return entries_; }

 private:
  void sort();
  TextList entries_;
};

// Result of reading a list file beside the program.
struct ListFileRead {
  enum Status { Missing, Unreadable, Read } status = Missing;
  TextList lines;
  Text error;  // why an existing file could not be read
};

// Reads a list file as the classic text loader does: a byte-order mark selects UTF-8 or
// UTF-16, anything else is the ANSI code page (no UTF-8 guess for these files).
ListFileRead readListFile(const Files& files, const Text& path, const CodePage& ansi);

// loadExclusionList: the defaults, plus jogaiList.txt from folder when it can be read. An existing
// file that cannot be read leaves the defaults in force; `read` tells the caller which it was.
ExclusionList loadExclusionList(const Files& files, const Text& folder, const CodePage& ansi,
                                ListFileRead* read = nullptr);

}  // namespace nokari
