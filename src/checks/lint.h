// The checks for continuous integration: every finding of the parenthesis, variable and
// function checks with its line and an English category.
#pragma once

#include "base/text.h"
#include "checks/exclusion_list.h"
#include "checks/findings.h"
#include "checks/func_check.h"

namespace nokari {

// What one file tells the other files of its program, each name once, spelled as first met.
struct ProgramPart {
  TextList defined;     // the functions it defines, commands and nested ones included
  TextList assigned;    // the names its setq's set
  TextList referenced;  // the names it calls or names as functions
};

struct LintResult {
  // In line and column order (findings at one place in the order parentheses, variables,
  // functions); columns are those of the source lines.
  Findings findings;
  bool unbalanced = false;  // the whole file's "(" and ")" counts differ
};

// part, when given, receives what the file tells the others of its program.
LintResult lintSource(const Lines& sourceLines, const ExclusionList& exclusions,
                      const BuiltinList& builtins, ProgramPart* part = nullptr);

// The files of one program: what each defines, sets and references counts for all of them.
class LintProgram {
 public:
  // The part must stay where it is while the program is used.
  void add(const ProgramPart& part);
  // Takes back from findings (those of one file) what another file answers; the undefined
  // functions left are padded anew to the longest of them, as the panel pads them.
  void settle(Findings& findings) const;

 private:
  FuncCheckProgram names_;
};

}  // namespace nokari
