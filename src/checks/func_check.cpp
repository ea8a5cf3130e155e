#include "checks/func_check.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "checks/call_matcher.h"
#include "platform/collate.h"
#include "source/func_index.h"
#include "source/scanner.h"

namespace nokari {

namespace {

bool startsWithSpace(const Text& line) { return !line.empty() && line[0] == u' '; }

bool isNumberLike(std::u16string_view name) {
  for (char16_t c : name)
    if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u'-')) return false;
  return true;
}

// True when upperAscii(s) holds upperWord at position i.
bool upperAt(std::u16string_view s, size_t i, std::u16string_view upperWord) {
  if (i + upperWord.size() > s.size()) return false;
  for (size_t k = 0; k < upperWord.size(); ++k)
    if (upperAscii(s[i + k]) != upperWord[k]) return false;
  return true;
}

// A name of the Visual LISP, Express Tools or DOSLib functions, which are never undefined.
bool holdsLibraryPrefix(std::u16string_view name) {
  for (size_t i = 0; i < name.size(); ++i) {
    const char16_t u = upperAscii(name[i]);
    if (u == u'V' && (upperAt(name, i, u"VLAX-") || upperAt(name, i, u"VLA-") ||
                      upperAt(name, i, u"VLE-") || upperAt(name, i, u"VL-")))
      return true;
    if ((u == u'A' && upperAt(name, i, u"ACET-")) || (u == u'D' && upperAt(name, i, u"DOS_")))
      return true;
  }
  return false;
}

// A name as a view into the code lines or the index, which outlive the check.
using Named = CallSite;

void sortNamed(std::vector<Named>& list) {
  std::stable_sort(list.begin(), list.end(), [](const Named& a, const Named& b) {
    return compareTextIgnoreCase(a.name, b.name) < 0;
  });
}

using NameSet = std::unordered_set<std::u16string_view, FoldedHash, FoldedEqual>;

// How many lines hold each name of names, by its place there.
std::vector<int> linesNaming(const std::vector<NameSite>& sites,
                             const std::vector<std::u16string_view>& names) {
  std::unordered_map<std::u16string_view, size_t, FoldedHash, FoldedEqual> at;
  for (size_t k = 0; k < names.size(); ++k) at.emplace(names[k], k);
  std::vector<std::vector<std::uint32_t>> lines(names.size());
  for (const NameSite& s : sites) {
    const auto it = at.find(s.name);
    if (it != at.end()) lines[it->second].push_back(s.line);
  }
  // A name given twice is counted once, for both places.
  std::vector<int> counts(names.size(), 0);
  for (size_t k = 0; k < names.size(); ++k) {
    const size_t first = at.find(names[k])->second;
    if (first != k) {
      counts[k] = counts[first];
      continue;
    }
    std::vector<std::uint32_t>& l = lines[k];
    std::sort(l.begin(), l.end());
    counts[k] = static_cast<int>(std::unique(l.begin(), l.end()) - l.begin());
  }
  return counts;
}

// Findings at a function's "(defun": their text reaches past the name when the name stands on
// the same line, else over "(defun".
class DefunFindings {
 public:
  explicit DefunFindings(const FileFacts& facts) {
    for (const DefunFacts& d : facts.defuns)
      if (d.nameSite.line == d.line)
        nameEnd_.emplace(place(d.line, d.col), d.nameSite.col + d.nameSite.name.size());
  }

  Finding at(int line, int col, const char* category, std::u16string_view name) const {
    Finding f;
    f.line = line + 1;
    f.category = category;
    f.name = Text(name);
    f.column = col + 1;
    const auto end = nameEnd_.find(place(line, col));
    f.endColumn = end != nameEnd_.end() ? static_cast<int>(end->second) + 1 : f.column + 6;
    return f;
  }

 private:
  static std::uint64_t place(std::uint64_t line, std::uint64_t col) { return line << 32 | col; }
  std::unordered_map<std::uint64_t, size_t> nameEnd_;
};

}  // namespace

Text countField(int count) {
  char buf[24];
  std::snprintf(buf, sizeof buf, " [%3d]", count);
  return fromAscii(buf);
}

BuiltinList BuiltinList::fromFileLines(const TextList& lines) {
  BuiltinList list;
  list.names_.reserve(lines.size());
  for (const Text& l : lines) list.names_.push_back(l.substr(0, l.find(u'\t')));
  sortTextIgnoreCase(list.names_);
  return list;
}

bool BuiltinList::contains(std::u16string_view name) const {
  auto it = std::lower_bound(
      names_.begin(), names_.end(), name,
      [](const Text& e, std::u16string_view n) { return compareTextIgnoreCase(e, n) < 0; });
  return it != names_.end() && compareTextIgnoreCase(*it, name) == 0;
}

FuncCheckSource prepareFuncCheck(const Lines& sourceLines, Progress* bar) {
  return prepareFuncCheck(readCheckSource(sourceLines, 30, bar, true));
}

FuncCheckSource prepareFuncCheck(CheckSource read) {
  FuncCheckSource src;
  static_cast<CheckSource&>(src) = std::move(read);
  src.sorted.reserve(src.records.size());
  for (size_t i : sortedFuncOrder(src.records)) src.sorted.push_back(&src.records[i]);
  return src;
}

namespace {

// The "■重複して定義されているユーザー関数" section: the top-level functions defined again, each
// name once; a finding at each later definition.
void duplicateFunctions(const FuncCheckSource& src, TextList& panel, Findings* findings) {
  std::vector<Named> definitions;
  for (const FuncRecord& rec : src.records)
    if (rec.kind == FuncKind::TopLevel)
      definitions.push_back({rec.name(), rec.startLine, rec.startCol});
  sortNamed(definitions);
  Text twice;
  std::optional<DefunFindings> defuns;
  for (size_t i = 0; i + 1 < definitions.size(); ++i) {
    if (!equalUpperAscii(definitions[i].name, definitions[i + 1].name)) continue;
    twice += definitions[i].name;
    twice += u' ';
    if (!findings) continue;
    if (!defuns) defuns.emplace(src.facts);
    findings->push_back(defuns->at(definitions[i + 1].line, definitions[i + 1].col,
                                   "duplicate-function", definitions[i + 1].name));
  }
  if (!twice.empty()) {
    panel.push_back(u"■重複して定義されているユーザー関数");
    panel.push_back(trim(twice));
  }
}

}  // namespace

void undefinedCalls(const FuncCheckSource& src, const BuiltinList& builtins, TextList& panel,
                    Findings* findings, const FuncCheckProgram* program,
                    std::vector<CallSite>* elsewhere) {
  // The functions the file defines, commands and nested ones included, and the names it sets
  // (a variable may hold a function: (setq f (lambda ...)) (f 1)).
  NameSet defined, assigned;
  for (const DefunFacts& d : src.facts.defuns) defined.insert(d.name);
  for (std::u16string_view n : src.facts.assigned) assigned.insert(n);
  auto knownElsewhere = [&](std::u16string_view n) {
    return program && (program->defined.count(n) > 0 || program->assigned.count(n) > 0);
  };
  // Sorted, the first of each run of names equal after upper-casing stays: the one met first.
  std::vector<Named> candidates, known;
  NameSet seen;
  for (const NameSite& c : src.facts.calls) {
    const std::u16string_view name = c.name;
    if (name.size() < 2 || isNumberLike(name) || holdsLibraryPrefix(name)) continue;
    if (defined.count(name) || assigned.count(name)) continue;
    if (!seen.insert(name).second) continue;
    (knownElsewhere(name) ? known : candidates)
        .push_back({name, static_cast<int>(c.line), static_cast<int>(c.col)});
  }
  for (std::vector<Named>* list : {&candidates, &known}) {
    sortNamed(*list);
    std::erase_if(*list, [&](const Named& c) { return builtins.contains(c.name); });
  }
  if (elsewhere) *elsewhere = std::move(known);

  duplicateFunctions(src, panel, findings);

  if (candidates.empty()) return;
  panel.push_back(u"■定義されていないユーザー関数");
  size_t width = 0;
  std::vector<std::u16string_view> names;
  for (const Named& c : candidates) {
    width = std::max(width, c.name.size());
    names.push_back(c.name);
  }
  const std::vector<int> calls = linesNaming(src.facts.calls, names);
  for (size_t k = 0; k < candidates.size(); ++k) {
    const Named& c = candidates[k];
    panel.push_back(Text(c.name) + Text(width - c.name.size() + 1, u' ') + countField(calls[k]));
    if (findings) {
      Finding f;
      f.line = c.line + 1;
      f.category = "undefined-function";
      f.name = Text(c.name);
      f.column = c.col + 1;
      f.endColumn = f.column + static_cast<int>(c.name.size());
      f.message = panel.back();
      f.unless = Finding::Unless::Defined;
      findings->push_back(std::move(f));
    }
  }
}

namespace {

bool countedFunction(const FuncRecord& r) {
  return r.kind == FuncKind::TopLevel && !isCommandName(r.name());
}

// How many lines name each top-level function of sorted that is no command, by its place in
// sorted (0 for the others): calls, quoted names, callbacks in strings.
const std::vector<int>& topLevelCalls(const FuncCheckSource& src, Progress* bar) {
  if (!src.topLevelCalls) {
    std::vector<std::u16string_view> names;
    for (const FuncRecord* r : src.sorted)
      if (countedFunction(*r)) names.push_back(r->name());
    const std::vector<int> refs = linesNaming(src.facts.references, names);
    std::vector<int> calls(src.sorted.size(), 0);
    for (size_t k = 0, j = 0; k < src.sorted.size(); ++k)
      if (countedFunction(*src.sorted[k])) calls[k] = refs[j++];
    src.topLevelCalls = std::move(calls);
  }
  if (bar) bar->setPosition(0);
  return *src.topLevelCalls;
}

}  // namespace

void unreferencedFunctions(const FuncCheckSource& src, TextList& panel, Progress* bar,
                           Findings* findings, const FuncCheckProgram* program) {
  const size_t heading = panel.size();
  const std::vector<int>& calls = topLevelCalls(src, bar);
  std::optional<DefunFindings> defuns;
  if (findings) defuns.emplace(src.facts);
  for (size_t k = 0; k < src.sorted.size(); ++k) {
    const FuncRecord& r = *src.sorted[k];
    if (!countedFunction(r) || calls[k] != 0 || trimmedView(r.name()).empty()) continue;
    if (program && program->referenced.count(r.name())) continue;
    panel.emplace_back(r.name());
    if (findings) {
      findings->push_back(defuns->at(r.startLine, r.startCol, "unreferenced-function", r.name()));
      findings->back().unless = Finding::Unless::Referenced;
    }
  }
  if (bar) bar->setPosition(0);
  if (panel.size() > heading)
    panel.insert(panel.begin() + static_cast<long>(heading), u"■参照されていないユーザー関数");
}

void callCounts(const FuncCheckSource& src, TextList& panel, Progress* bar) {
  const size_t first = panel.size();
  std::vector<int> counts;  // per panel line from first on
  const std::vector<int>& calls = topLevelCalls(src, bar);
  for (size_t k = 0; k < src.sorted.size(); ++k) {
    const FuncRecord& r = *src.sorted[k];
    // A nested function is left out with the command it sits in.
    if (countedFunction(r)) {
      panel.emplace_back(r.name());
      counts.push_back(calls[k]);
    } else if (r.kind == FuncKind::Nested && !isCommandName(r.enclosing())) {
      panel.push_back(u"  + " + Text(r.name()));
      counts.push_back(0);
    }
  }
  if (panel.size() == first) {
    if (bar) bar->setPosition(0);
    return;
  }
  // The padding reaches past the longest line of the whole panel, earlier sections included.
  size_t width = 0;
  for (const Text& l : panel) width = std::max(width, l.size());
  for (size_t i = first; i < panel.size(); ++i) {
    Text& line = panel[i];
    if (startsWithSpace(line)) continue;
    const int count = counts[i - first];
    line += Text(width - line.size(), u' ') + countField(count);
  }
  if (bar) bar->setPosition(0);
  panel.insert(panel.begin() + static_cast<long>(first), u"■ユーザー関数の出現数");
}

TextList funcCheck(const Lines& sourceLines, const BuiltinList& builtins, Progress* bar,
                   Findings* findings, const FuncCheckProgram* program) {
  return checkFunctions(prepareFuncCheck(sourceLines, bar), builtins, bar, findings, program);
}

TextList checkFunctions(const FuncCheckSource& src, const BuiltinList& builtins, Progress* bar,
                        Findings* findings, const FuncCheckProgram* program) {
  TextList panel;
  std::vector<CallSite> elsewhere;
  undefinedCalls(src, builtins, panel, findings, program, &elsewhere);
  unreferencedFunctions(src, panel, bar, findings, program);
  callCounts(src, panel, bar);
  if (!program || (program->definingFile.empty() && !program->othersLeftOut)) return panel;
  if (elsewhere.empty() && !program->othersLeftOut) return panel;
  panel.push_back(u"■他のファイルで定義されている関数");
  if (program->othersLeftOut)
    panel.push_back(
        u"（フォルダーの .lsp ファイルが大きすぎるため、他のファイルは読んでいません）");
  size_t width = 0;
  for (const CallSite& c : elsewhere) width = std::max(width, c.name.size());
  for (const CallSite& c : elsewhere) {
    const auto file = program->definingFile.find(c.name);
    const Text where = file != program->definingFile.end() ? file->second : Text();
    panel.push_back(Text(c.name) + Text(width - c.name.size() + 1, u' ') + where);
  }
  return panel;
}

}  // namespace nokari
