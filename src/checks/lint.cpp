#include "checks/lint.h"

#include "checks/paren_check.h"
#include "checks/var_check.h"

namespace nokari {

LintResult lintSource(const TextList& lspSL, const JogaiList& jogai, const BuiltinList& builtins) {
  LintResult r;
  r.unbalanced = !parenBalanceCheck(lspSL, false, nullptr, &r.findings).balanced;
  notUusedVariable(lspSL, jogai, true, nullptr, &r.findings);
  funcCheck(lspSL, builtins, nullptr, &r.findings);
  return r;
}

}  // namespace nokari
