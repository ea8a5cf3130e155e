// The function check: duplicated, undefined and unreferenced user functions, and how many
// lines reference each function.
#pragma once

#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/text.h"
#include "checks/check_source.h"
#include "checks/code_facts.h"
#include "checks/findings.h"
#include "source/func_index.h"
#include "source/progress.h"

namespace nokari {

// Names of AutoLISP's own functions; calls of these are never "undefined".
class BuiltinList {
 public:
  BuiltinList() = default;
  // One entry per line: the text before the first TAB, untrimmed.
  static BuiltinList fromFileLines(const TextList& lines);
  bool contains(std::u16string_view name) const;  // letter case ignored
  size_t size() const { return names_.size(); }

 private:
  TextList names_;  // sorted
};

// The source the three methods share: each of them reads the same code, so it is read once.
struct FuncCheckSource : CheckSource {
  FuncCheckSource() = default;
  // sorted points into records: a move keeps them, a copy would not.
  FuncCheckSource(FuncCheckSource&&) = default;
  FuncCheckSource& operator=(FuncCheckSource&&) = default;

  // The records in the order sortFuncIndex gives them, without copies.
  std::vector<const FuncRecord*> sorted;
  // How many lines name each top-level function of sorted that is no command, by its place in
  // sorted (0 for the others). Counted by the first method that needs it: two of them do.
  mutable std::optional<std::vector<int>> topLevelCalls;
};
FuncCheckSource prepareFuncCheck(const Lines& sourceLines, Progress* bar);
// The same from a source already read with its index indented.
FuncCheckSource prepareFuncCheck(CheckSource read);

// What the other files of a program tell the check, names compared with letter case ignored.
struct FuncCheckProgram {
  using Names = std::unordered_set<std::u16string_view, FoldedHash, FoldedEqual>;
  Names defined;     // the functions they define
  Names assigned;    // the names they set
  Names referenced;  // the names they call or name as functions
  // The file that defines each function of defined, when the panel is to show it: a call of
  // one of them is listed in a section of its own rather than nowhere.
  std::unordered_map<std::u16string_view, Text, FoldedHash, FoldedEqual> definingFile;
  // Other files were not read (too large a folder): the section says so.
  bool othersLeftOut = false;
};

// Each appends its sections to panel, as the three methods of the function check do.
// undefinedCalls leaves a call of a function the program defines elsewhere to elsewhere, when
// given: sorted, each once, not built in.
struct CallSite {
  std::u16string_view name;
  int line = 0, col = 0;  // 0-based, in the code lines
};
void undefinedCalls(const FuncCheckSource& src, const BuiltinList& builtins, TextList& panel,
                    Findings* findings = nullptr, const FuncCheckProgram* program = nullptr,
                    std::vector<CallSite>* elsewhere = nullptr);
void unreferencedFunctions(const FuncCheckSource& src, TextList& panel, Progress* bar,
                           Findings* findings = nullptr, const FuncCheckProgram* program = nullptr);
void callCounts(const FuncCheckSource& src, TextList& panel, Progress* bar);

// The panel after the whole check: the three methods in order on a cleared panel, then, with a
// program that tells the defining files, the calls of functions other files define.
TextList funcCheck(const Lines& sourceLines, const BuiltinList& builtins, Progress* bar,
                   Findings* findings = nullptr, const FuncCheckProgram* program = nullptr);
// The same on a source already prepared.
TextList checkFunctions(const FuncCheckSource& src, const BuiltinList& builtins, Progress* bar,
                        Findings* findings = nullptr, const FuncCheckProgram* program = nullptr);

// " [%3d]": the count right-aligned in three places, wider when it needs more.
Text countField(int count);

}  // namespace nokari
