#include "checks/lint.h"

#include <algorithm>

#include "checks/paren_check.h"
#include "checks/var_check.h"
#include "source/scanner.h"

namespace nokari {

namespace {

using NameSet = FuncCheckProgram::Names;

template <class Names>
TextList eachOnce(const Names& names) {
  NameSet seen;
  TextList out;
  for (std::u16string_view n : names)
    if (seen.insert(n).second) out.emplace_back(n);
  return out;
}

ProgramPart programPart(const FileFacts& facts) {
  ProgramPart part;
  std::vector<std::u16string_view> defined;
  for (const DefunFacts& d : facts.defuns) defined.push_back(d.name);
  part.defined = eachOnce(defined);
  part.assigned = eachOnce(facts.assigned);
  std::vector<std::u16string_view> referenced;
  referenced.reserve(facts.references.size());
  for (const NameSite& s : facts.references) referenced.push_back(s.name);
  part.referenced = eachOnce(referenced);
  return part;
}

}  // namespace

LintResult lintSource(const Lines& sourceLines, const ExclusionList& exclusions,
                      const BuiltinList& builtins, ProgramPart* part) {
  LintResult r;
  if (sourceLines.empty()) return r;
  // The three checks read the same code, index and facts: they are made once.
  const FuncCheckSource src = prepareFuncCheck(readCheckSource(sourceLines, 100, nullptr, true));
  r.unbalanced =
      !parenBalanceCheck(sourceLines, src.code, src.records.size(), nullptr, &r.findings).balanced;
  checkVariables(src, exclusions, WhenClear::AllClearLines, nullptr, &r.findings);
  checkFunctions(src, builtins, nullptr, &r.findings);
  if (part) *part = programPart(src.facts);
  // The checks count columns in the code lines; an editor counts them in the source lines.
  int last = -1;
  for (const Finding& f : r.findings)
    if (f.column > 0) last = std::max(last, f.line - 1);
  if (last >= 0) {
    const SourceColumns columns(sourceLines, last);
    for (Finding& f : r.findings) {
      if (f.column <= 0) continue;
      // The end is the column past the text's last character, which the code lines hold.
      const int end =
          f.endColumn > f.column ? columns.sourceColumn(f.line - 1, f.endColumn - 1) + 1 : 0;
      f.column = columns.sourceColumn(f.line - 1, f.column);
      f.endColumn = std::max(end, f.column);
    }
  }
  std::stable_sort(r.findings.begin(), r.findings.end(), [](const Finding& a, const Finding& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return r;
}

void LintProgram::add(const ProgramPart& part) {
  names_.defined.insert(part.defined.begin(), part.defined.end());
  names_.assigned.insert(part.assigned.begin(), part.assigned.end());
  names_.referenced.insert(part.referenced.begin(), part.referenced.end());
}

void LintProgram::settle(Findings& findings) const {
  std::erase_if(findings, [&](const Finding& f) {
    switch (f.unless) {
      case Finding::Unless::Defined:
        return names_.defined.count(f.name) > 0 || names_.assigned.count(f.name) > 0;
      case Finding::Unless::Referenced:
        return names_.referenced.count(f.name) > 0;
      case Finding::Unless::DefinedFunction:
        return names_.defined.count(f.name) > 0;
      case Finding::Unless::Never:
        break;
    }
    return false;
  });
  // The panel line of an undefined function: its name, blanks, and its count after " [".
  size_t width = 0;
  for (const Finding& f : findings)
    if (f.unless == Finding::Unless::Defined) width = std::max(width, f.name.size());
  for (Finding& f : findings) {
    if (f.unless != Finding::Unless::Defined) continue;
    const size_t count = f.message.rfind(u" [");
    if (count == Text::npos || count < f.name.size()) continue;
    f.message = f.name + Text(width - f.name.size() + 1, u' ') + f.message.substr(count);
  }
}

}  // namespace nokari
