// The functions that the other AutoLISP files of a source's folder define: a program is often
// spread over several files, and a call of one of them is no undefined function.
#pragma once

#include <deque>

#include "checks/func_check.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace nokari {

// Above this many bytes of other files the folder is left out: reading it would hold the
// window up.
inline constexpr unsigned long long kSiblingBytesLimit = 64ull << 20;

class SiblingFunctions {
 public:
  // Reads every file of folder whose name ends in ".lsp" (letter case ignored) but ownName;
  // a file that cannot be read is passed over. A function defined in several of them is told
  // with the first in name order (letter case ignored).
  SiblingFunctions(const Files& files, const Text& folder, const Text& ownName,
                   const CodePage& ansi, unsigned long long byteLimit = kSiblingBytesLimit);
  SiblingFunctions(const SiblingFunctions&) = delete;
  SiblingFunctions& operator=(const SiblingFunctions&) = delete;

  // The names defined, with the file name of each; othersLeftOut when the folder was too large.
  const FuncCheckProgram& program() const { return program_; }

 private:
  std::deque<Text> names_;  // what program_ points into
  FuncCheckProgram program_;
};

}  // namespace nokari
