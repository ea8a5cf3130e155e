#include "checks/func_check.h"

#include <algorithm>
#include <cstdio>
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

// A line with a defun or a lambda: one pass that looks further only at a D or an L.
bool holdsDefunOrLambda(std::u16string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    // A letter with the lower-case bit set: d or D, l or L.
    const char16_t lower = s[i] | 0x20;
    if ((lower == u'd' && upperAt(s, i, u"DEFUN")) || (lower == u'l' && upperAt(s, i, u"LAMBDA")))
      return true;
  }
  return false;
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
struct Named {
  std::u16string_view name;
  int line = 0;  // 0-based
  int col = 0;   // 0-based column of the code line
};

void sortNamed(std::vector<Named>& list) {
  std::stable_sort(list.begin(), list.end(), [](const Named& a, const Named& b) {
    return compareTextIgnoreCase(a.name, b.name) < 0;
  });
}

bool callEnds(char16_t c) { return c == u' ' || c == u'\t' || c == u')' || c == u'('; }

// Calls met with the names a code line seems to call, in order. A TAB counts as a space.
template <class Met>
void forEachCallCandidate(std::u16string_view codeLine, int lineIndex, Met met) {
  const std::u16string_view s = trimmedView(codeLine);
  if (s.size() < 2) return;
  const size_t lead = static_cast<size_t>(s.data() - codeLine.data());  // for the columns
  if (s.find(u'(') == std::u16string_view::npos) return;
  // No call on a line with a defun or a lambda counts.
  if (holdsDefunOrLambda(s)) return;
  const size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    if (s[i] != u'(' || (i + 1 < n && s[i + 1] == u'(')) continue;
    size_t j = i + 1;
    while (j < n && !callEnds(s[j])) ++j;
    const std::u16string_view name = s.substr(i + 1, j - i - 1);
    if (name.empty() || isNumberLike(name) || name.size() < 2) continue;
    if (holdsLibraryPrefix(name)) continue;
    met(Named{trimmedView(name), lineIndex, static_cast<int>(lead + i + 1)});
  }
}

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

FuncCheckSource prepareFuncCheck(const Lines& lspSL, Progress* bar) {
  FuncCheckSource src;
  makeCodeAndFuncIndex(lspSL, src.code, src.records, 30, bar, true);
  src.sorted.reserve(src.records.size());
  for (size_t i : sortedFuncOrder(src.records)) src.sorted.push_back(&src.records[i]);
  return src;
}

void undefinedCalls(const FuncCheckSource& src, const BuiltinList& builtins, TextList& panel,
                    Findings* findings) {
  const Lines& code = src.code;
  // An exact repeat can never be the one that stays below; dropping it as it is met keeps the
  // list and the sort small.
  std::vector<Named> candidates;
  std::unordered_set<std::u16string_view> seen;
  for (size_t i = 0; i < code.size(); ++i)
    forEachCallCandidate(code[i], int(i), [&](const Named& c) {
      if (seen.insert(c.name).second) candidates.push_back(c);
    });
  if (candidates.empty()) return;
  // Sorted, the first of each run of names equal after upper-casing stays: the one met first.
  sortNamed(candidates);
  candidates.erase(
      std::unique(candidates.begin(), candidates.end(),
                  [](const Named& a, const Named& b) { return equalUpperAscii(a.name, b.name); }),
      candidates.end());
  std::erase_if(candidates, [&](const Named& c) { return builtins.contains(c.name); });

  if (!candidates.empty()) {
    std::vector<Named> definitions;
    std::unordered_set<Text> defined;
    for (const FuncRecord& rec : src.records) {
      if (rec.kind == FuncKind::TopLevel)
        definitions.push_back({rec.name(), rec.startLine, rec.startCol});
      const std::optional<std::u16string_view> definedName = rec.defined();
      if (!definedName) continue;
      // Commands define nothing here: a call (c:cmd) stays undefined.
      const Text key = upperAscii(*definedName);
      if (key.find(u"C:") == Text::npos) defined.insert(key);
    }
    std::erase_if(candidates, [&](const Named& c) { return defined.count(upperAscii(c.name)); });

    sortNamed(definitions);
    Text twice;
    for (size_t i = 0; i + 1 < definitions.size(); ++i) {
      if (!equalUpperAscii(definitions[i].name, definitions[i + 1].name)) continue;
      twice += definitions[i].name;
      twice += u' ';
      if (findings)
        findings->push_back({definitions[i + 1].line + 1,
                             "duplicate-function",
                             Text(definitions[i + 1].name),
                             definitions[i + 1].col + 1,
                             {}});
    }
    if (!twice.empty()) {
      panel.push_back(u"■重複して定義されているユーザー関数");
      panel.push_back(trim(twice));
    }
  }

  if (candidates.empty()) return;
  panel.push_back(u"■定義されていないユーザー関数");
  size_t width = 0;
  TextList names;
  for (const Named& c : candidates) {
    width = std::max(width, c.name.size());
    names.emplace_back(c.name);
  }
  const CallMatcher matcher(names);
  const std::vector<int> calls = matcher.countLines(code, false);
  for (const Named& c : candidates) {
    const int key = matcher.keyOf(c.name);
    panel.push_back(Text(c.name) + Text(width - c.name.size() + 1, u' ') +
                    countField(key >= 0 ? calls[key] : 0));
    if (findings)
      findings->push_back(
          {c.line + 1, "undefined-function", Text(c.name), c.col + 1, panel.back()});
  }
}

namespace {

bool countedFunction(const FuncRecord& r) {
  return r.kind == FuncKind::TopLevel && !isCommandName(r.name());
}

const std::vector<int>& topLevelCalls(const FuncCheckSource& src, Progress* bar) {
  if (!src.topLevelCalls) {
    TextList names;
    for (const FuncRecord* r : src.sorted)
      if (countedFunction(*r)) names.emplace_back(r->name());
    const CallMatcher matcher(names);
    const std::vector<int> refs = matcher.countLines(src.code, true, bar, 80);
    std::vector<int> calls(src.sorted.size(), 0);
    for (size_t k = 0; k < src.sorted.size(); ++k)
      if (countedFunction(*src.sorted[k])) calls[k] = refs[matcher.keyOf(src.sorted[k]->name())];
    src.topLevelCalls = std::move(calls);
  }
  return *src.topLevelCalls;
}

}  // namespace

void notUsedUserFunc(const FuncCheckSource& src, TextList& panel, Progress* bar,
                     Findings* findings) {
  const size_t heading = panel.size();
  const std::vector<int>& calls = topLevelCalls(src, bar);
  for (size_t k = 0; k < src.sorted.size(); ++k) {
    const FuncRecord& r = *src.sorted[k];
    if (!countedFunction(r) || calls[k] != 0 || trimmedView(r.name()).empty()) continue;
    panel.emplace_back(r.name());
    if (findings)
      findings->push_back(
          {r.startLine + 1, "unreferenced-function", Text(r.name()), r.startCol + 1, {}});
  }
  if (bar) bar->setPosition(0);
  if (panel.size() > heading)
    panel.insert(panel.begin() + static_cast<long>(heading), u"■参照されていないユーザー関数");
}

void userFuncUsedCount(const FuncCheckSource& src, TextList& panel, Progress* bar) {
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

TextList funcCheck(const Lines& lspSL, const BuiltinList& builtins, Progress* bar,
                   Findings* findings) {
  TextList panel;
  const FuncCheckSource src = prepareFuncCheck(lspSL, bar);
  undefinedCalls(src, builtins, panel, findings);
  notUsedUserFunc(src, panel, bar, findings);
  userFuncUsedCount(src, panel, bar);
  return panel;
}

}  // namespace nokari
