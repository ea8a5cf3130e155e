#include "checks/lint.h"

#include "checks/paren_check.h"
#include "checks/var_check.h"

namespace nokari {

LintResult lintSource(const TextList& lspSL, const ExclusionList& exclusions,
                      const BuiltinList& builtins) {
  LintResult r;
  r.unbalanced = !parenBalanceCheck(lspSL, false, nullptr, &r.findings).balanced;
  variableCheck(lspSL, exclusions, true, nullptr, &r.findings);
  funcCheck(lspSL, builtins, nullptr, &r.findings);
  return r;
}

}  // namespace nokari
