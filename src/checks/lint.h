// The checks for continuous integration: every finding of the parenthesis, variable and
// function checks with its line and an English category.
#pragma once

#include "base/text.h"
#include "checks/exclusion_list.h"
#include "checks/findings.h"
#include "checks/func_check.h"

namespace nokari {

struct LintResult {
  // Parentheses, then variables, then functions, each in report order; columns are those of
  // the source lines.
  Findings findings;
  bool unbalanced = false;  // the whole file's "(" and ")" counts differ
};

LintResult lintSource(const Lines& lspSL, const ExclusionList& exclusions,
                      const BuiltinList& builtins);

}  // namespace nokari
