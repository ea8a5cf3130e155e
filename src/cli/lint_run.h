// The lint mode's work: the files the arguments name, each checked, on several threads.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "checks/exclusion_list.h"
#include "checks/findings.h"
#include "checks/func_check.h"
#include "checks/lint.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "source/decode.h"

namespace nokari {

// One file of the lint mode, or a file or folder that could not be read.
struct LintFile {
  Text path;  // as printed: the argument, or a folder argument joined with the names below it
  // Why the file could not be checked: "cannot read" or "cannot check", and the reason.
  std::optional<Text> error;
  const char* failure = "cannot read";
  Encoding encoding = Encoding::Utf8;
  Findings findings;                   // of the categories shown only
  size_t findingCount = 0;             // findings.size(), kept when they are let go
  std::vector<size_t> categoryCounts;  // per category of lintCategories(), likewise
  bool unbalanced = false;             // a finding shown says that the whole file does not balance
  std::string rendered;                // what the file adds to the output
  ProgramPart part;                    // what it tells the other files, when they are one program
};

struct FolderAccess {
  std::function<FolderListing(const Text&)> list;  // null: every argument is a file
  std::function<bool(const Text&, const Text&)> same;
};

// The files of the arguments in their order: a file as given; for a folder, every file below
// it whose name ends in ".lsp" (letter case ignored), each folder's names in code-unit order
// with the files of a subfolder where its name sorts. Links to folders are not followed, and
// no folder is read again below itself. A folder without such a file adds a line to warnings.
std::vector<LintFile> lintInputs(const std::vector<Text>& args, const FolderAccess& folders,
                                 std::string& warnings);

struct LintSetup {
  const Files* files = nullptr;
  const CodePage* ansi = nullptr;
  const ExclusionList* exclusions = nullptr;
  const BuiltinList* builtins = nullptr;
  std::vector<bool> shown;  // per category of lintCategories()
  // The files are one program: a function one of them defines is defined for all, one any of
  // them references is referenced.
  bool oneProgram = true;
  // At most this many findings in all, the first ones in the files' order and line order.
  std::optional<size_t> maxResults;
};

// Reads and checks every file not already failed, on up to jobs threads, and passes every file
// to render on the same thread; as one program, once every file is checked. Each result lands
// in its own place, so the order of the files never depends on the threads.
void lintFiles(std::vector<LintFile>& files, const LintSetup& setup, unsigned jobs,
               const std::function<void(LintFile&)>& render);

}  // namespace nokari
