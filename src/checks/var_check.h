// The variable check: unused, duplicated and undeclared names per function, and the names the
// top-level code before the first and after the last function uses.
#pragma once

#include "base/lines.h"
#include "base/text.h"
#include "checks/exclusion_list.h"
#include "checks/findings.h"
#include "source/progress.h"

namespace nokari {

// variableCheck: the results panel's lines after the check (the panel is cleared first).
// With msgFlag, a run without findings shows the two all-clear lines. findings, when given,
// receives every reported name with its line.
TextList variableCheck(const Lines& lspSL, const ExclusionList& exclusions, bool msgFlag,
                       Progress* bar, Findings* findings = nullptr);

// A 1-based line number right-aligned in five characters.
Text lineNumberField(int line);

}  // namespace nokari
