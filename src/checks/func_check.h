// The function check: duplicated, undefined and unreferenced user functions, and how many
// lines reference each function.
#pragma once

#include <optional>
#include <vector>

#include "base/text.h"
#include <unordered_set>

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

// The code lines and function index the three methods share: each of them reads the same
// source, so they are made once.
struct FuncCheckSource {
  FuncCheckSource() = default;
  // sorted points into records: a move keeps them, a copy would not.
  FuncCheckSource(FuncCheckSource&&) = default;
  FuncCheckSource& operator=(FuncCheckSource&&) = default;
  FuncCheckSource(const FuncCheckSource&) = delete;
  FuncCheckSource& operator=(const FuncCheckSource&) = delete;

  Lines code;
  CodeMarks marks;
  FuncIndex records;  // index order, with indent
  FileFacts facts;
  // The records in the order sortFuncIndex gives them, without copies.
  std::vector<const FuncRecord*> sorted;
  // How many lines name each top-level function of sorted that is no command, by its place in
  // sorted (0 for the others). Counted by the first method that needs it: two of them do.
  mutable std::optional<std::vector<int>> topLevelCalls;
};
FuncCheckSource prepareFuncCheck(const Lines& lspSL, Progress* bar);

// What the other files of a program tell the check, names compared with letter case ignored.
struct FuncCheckProgram {
  using Names = std::unordered_set<std::u16string_view, FoldedHash, FoldedEqual>;
  Names defined;     // the functions they define
  Names assigned;    // the names they set
  Names referenced;  // the names they call or name as functions
};

// Each appends its sections to panel, as the three methods of the function check do.
void undefinedCalls(const FuncCheckSource& src, const BuiltinList& builtins, TextList& panel,
                    Findings* findings = nullptr, const FuncCheckProgram* program = nullptr);
void notUsedUserFunc(const FuncCheckSource& src, TextList& panel, Progress* bar,
                     Findings* findings = nullptr, const FuncCheckProgram* program = nullptr);
void userFuncUsedCount(const FuncCheckSource& src, TextList& panel, Progress* bar);

// The panel after the whole check: the three methods in order on a cleared panel.
TextList funcCheck(const Lines& lspSL, const BuiltinList& builtins, Progress* bar,
                   Findings* findings = nullptr, const FuncCheckProgram* program = nullptr);

// " [%3d]": the count right-aligned in three places, wider when it needs more.
Text countField(int count);

}  // namespace nokari
