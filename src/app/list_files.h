// The two list files beside the program: the user's exclusions and the built-in function names.
#pragma once

#include "base/text.h"
#include "checks/exclusion_list.h"
#include "checks/func_check.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace nokari {

// The name of the user's own exclusion file beside the program, kept as the files users
// already have are named.
inline constexpr char16_t kExclusionFileName[] = u"jogaiList.txt";

// The name of the built-in function list beside the program.
inline constexpr char16_t kBuiltinFileName[] = u"AutoLispFuncList.txt";

// Result of reading a list file beside the program.
struct ListFileRead {
  enum Status { Missing, Unreadable, Read } status = Missing;
  TextList lines;
  Text error;  // why an existing file could not be read
};

// Reads a list file as the classic text loader does: a byte-order mark selects UTF-8 or
// UTF-16, anything else is the ANSI code page (no UTF-8 guess for these files).
ListFileRead readListFile(const Files& files, const Text& path, const CodePage& ansi);

// The defaults, plus jogaiList.txt from folder when it can be read. An existing file that
// cannot be read leaves the defaults in force; `read` tells the caller which it was.
ExclusionList loadExclusionList(const Files& files, const Text& folder, const CodePage& ansi,
                                ListFileRead* read = nullptr);

// AutoLispFuncList.txt from folder; a missing or unreadable file gives an empty list.
BuiltinList loadBuiltinList(const Files& files, const Text& folder, const CodePage& ansi,
                            ListFileRead* read = nullptr);

}  // namespace nokari
