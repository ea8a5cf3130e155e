// The variable check: unused, duplicated and undeclared names per function, and the names the
// top-level code before the first and after the last function uses.
#pragma once

#include <unordered_set>

#include "base/lines.h"
#include "base/text.h"
#include "checks/check_source.h"
#include "checks/code_facts.h"
#include "checks/exclusion_list.h"
#include "checks/findings.h"
#include "source/progress.h"

namespace nokari {

// What the other files of a program tell the check: the functions they define, whose names
// read as values are no variables.
struct VarCheckProgram {
  std::unordered_set<std::u16string_view, FoldedHash, FoldedEqual> functions;
};

// What the panel shows after a run without findings.
enum class WhenClear { Nothing, AllClearLines };

// variableCheck: the results panel's lines after the check (the panel is cleared first).
// A run without findings shows what whenClear says. findings, when given,
// receives every reported name with its line (an undeclared name that is only read as
// "global-read").
TextList variableCheck(const Lines& sourceLines, const ExclusionList& exclusions,
                       WhenClear whenClear, Progress* bar, Findings* findings = nullptr,
                       const VarCheckProgram* program = nullptr);

// The same on a source already read (an empty one still gives the all-clear lines).
TextList checkVariables(const CheckSource& src, const ExclusionList& exclusions,
                        WhenClear whenClear, Progress* bar, Findings* findings = nullptr,
                        const VarCheckProgram* program = nullptr);

// A 1-based line number right-aligned in five characters.
Text lineNumberField(int line);

}  // namespace nokari
