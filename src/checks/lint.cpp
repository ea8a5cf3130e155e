#include "checks/lint.h"

#include <algorithm>

#include "checks/paren_check.h"
#include "checks/var_check.h"
#include "source/scanner.h"

namespace nokari {

LintResult lintSource(const Lines& lspSL, const ExclusionList& exclusions,
                      const BuiltinList& builtins) {
  LintResult r;
  r.unbalanced = !parenBalanceCheck(lspSL, false, nullptr, &r.findings).balanced;
  variableCheck(lspSL, exclusions, true, nullptr, &r.findings);
  funcCheck(lspSL, builtins, nullptr, &r.findings);
  // The checks count columns in the code lines; an editor counts them in the source lines.
  int last = -1;
  for (const Finding& f : r.findings)
    if (f.column > 0) last = std::max(last, f.line - 1);
  if (last >= 0) {
    const SourceColumns columns(lspSL, last);
    for (Finding& f : r.findings)
      if (f.column > 0) f.column = columns.sourceColumn(f.line - 1, f.column);
  }
  return r;
}

}  // namespace nokari
