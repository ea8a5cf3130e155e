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

bool startsWithCommandPrefix(const Text& name) {
  return name.size() >= 2 && upperAscii(name[0]) == u'C' && name[1] == u':';
}

bool startsWithSpace(const Text& line) { return !line.empty() && line[0] == u' '; }

bool isNumberLike(std::u16string_view name) {
  for (char16_t c : name)
    if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u'-')) return false;
  return true;
}

bool containsAny(const Text& upper, std::initializer_list<const char16_t*> words) {
  for (const char16_t* w : words)
    if (upper.find(w) != Text::npos) return true;
  return false;
}

struct Named {
  Text name;
  int line = 0;  // 0-based
  int col = 0;   // 0-based column of the code line
};

void sortNamed(std::vector<Named>& list) {
  std::stable_sort(list.begin(), list.end(), [](const Named& a, const Named& b) {
    return compareTextIgnoreCase(a.name, b.name) < 0;
  });
}

// The names a code line seems to call, in order.
void appendCallCandidates(std::u16string_view codeLine, int lineIndex, std::vector<Named>& out) {
  Text s = trim(codeLine);
  if (s.size() < 2) return;
  size_t lead = 0;  // what trim took from the front, for the columns
  while (codeLine[lead] <= u' ') ++lead;
  for (char16_t& c : s)
    if (c == u'\t') c = u' ';
  // No call on a line with a defun or a lambda counts.
  if (containsAny(upperAscii(s), {u"DEFUN", u"LAMBDA"})) return;
  const size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    if (s[i] != u'(' || (i + 1 < n && s[i + 1] == u'(')) continue;
    size_t j = i + 1;
    while (j < n && s[j] != u' ' && s[j] != u')' && s[j] != u'(') ++j;
    const std::u16string_view name = std::u16string_view(s).substr(i + 1, j - i - 1);
    if (name.empty() || isNumberLike(name) || name.size() < 2) continue;
    if (containsAny(upperAscii(name), {u"VLAX-", u"VLA-", u"VLE-", u"VL-", u"ACET-", u"DOS_"}))
      continue;
    out.push_back({trim(name), lineIndex, static_cast<int>(lead + i + 1)});
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
  stripComments(lspSL, src.code, bar, 10);
  makeFuncIndex(src.code, src.records, 20, bar, true);
  src.sorted = src.records;
  sortFuncIndex(src.sorted);
  return src;
}

void undefinedCalls(const FuncCheckSource& src, const BuiltinList& builtins, TextList& panel,
                    Findings* findings) {
  const Lines& code = src.code;
  std::vector<Named> met;
  for (size_t i = 0; i < code.size(); ++i) appendCallCandidates(code[i], int(i), met);
  if (met.empty()) return;
  // An exact repeat can never be the one that stays below; dropping it early keeps the sort
  // small.
  std::vector<Named> candidates;
  std::unordered_set<std::u16string_view> seen;
  for (const Named& c : met)
    if (seen.insert(c.name).second) candidates.push_back(c);
  // Sorted, the first of each run of names equal after upper-casing stays: the one met first.
  sortNamed(candidates);
  candidates.erase(std::unique(candidates.begin(), candidates.end(),
                               [](const Named& a, const Named& b) {
                                 return upperAscii(a.name) == upperAscii(b.name);
                               }),
                   candidates.end());
  std::erase_if(candidates, [&](const Named& c) { return builtins.contains(c.name); });

  if (!candidates.empty()) {
    std::vector<Named> definitions;
    std::unordered_set<Text> defined;
    for (const FuncRecord& rec : src.records) {
      if (rec.kind == FuncKind::TopLevel)
        definitions.push_back({rec.name, rec.startLine, rec.startCol});
      if (!rec.definedName) continue;
      // Commands define nothing here: a call (c:cmd) stays undefined.
      const Text key = upperAscii(*rec.definedName);
      if (key.find(u"C:") == Text::npos) defined.insert(key);
    }
    std::erase_if(candidates, [&](const Named& c) { return defined.count(upperAscii(c.name)); });

    sortNamed(definitions);
    Text twice;
    for (size_t i = 0; i + 1 < definitions.size(); ++i) {
      if (upperAscii(definitions[i].name) != upperAscii(definitions[i + 1].name)) continue;
      twice += definitions[i].name + u" ";
      if (findings)
        findings->push_back({definitions[i + 1].line + 1,
                             "duplicate-function",
                             definitions[i + 1].name,
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
    names.push_back(c.name);
  }
  const CallMatcher matcher(names);
  const std::vector<int> calls = matcher.countLines(code, false);
  for (const Named& c : candidates) {
    const int key = matcher.keyOf(c.name);
    panel.push_back(c.name + Text(width - c.name.size() + 1, u' ') +
                    countField(key >= 0 ? calls[key] : 0));
    if (findings)
      findings->push_back({c.line + 1, "undefined-function", c.name, c.col + 1, panel.back()});
  }
}

void notUsedUserFunc(const FuncCheckSource& src, TextList& panel, Progress* bar,
                     Findings* findings) {
  const size_t heading = panel.size();
  std::vector<Named> taken;
  for (const FuncRecord& r : src.sorted)
    if (r.kind == FuncKind::TopLevel && !startsWithCommandPrefix(r.name))
      taken.push_back({r.name, r.startLine, r.startCol});
  if (!taken.empty()) {
    TextList names;
    for (const Named& t : taken) names.push_back(t.name);
    const CallMatcher matcher(names);
    const std::vector<int> refs = matcher.countLines(src.code, true, bar, 80);
    for (const Named& t : taken) {
      if (refs[matcher.keyOf(t.name)] != 0 || trim(t.name).empty()) continue;
      panel.push_back(t.name);
      if (findings)
        findings->push_back({t.line + 1, "unreferenced-function", t.name, t.col + 1, {}});
    }
  }
  if (bar) bar->setPosition(0);
  if (panel.size() > heading)
    panel.insert(panel.begin() + static_cast<long>(heading), u"■参照されていないユーザー関数");
}

void userFuncUsedCount(const FuncCheckSource& src, TextList& panel, Progress* bar) {
  const size_t first = panel.size();
  for (const FuncRecord& r : src.sorted) {
    // A nested function is left out with the command it sits in.
    if (r.kind == FuncKind::TopLevel && !startsWithCommandPrefix(r.name)) {
      panel.push_back(r.name);
    } else if (r.kind == FuncKind::Nested && !startsWithCommandPrefix(*r.enclosing)) {
      panel.push_back(u"  + " + r.name);
    }
  }
  if (panel.size() == first) {
    if (bar) bar->setPosition(0);
    return;
  }
  // The padding reaches past the longest line of the whole panel, earlier sections included.
  size_t width = 0;
  for (const Text& l : panel) width = std::max(width, l.size());
  TextList names;
  for (size_t i = first; i < panel.size(); ++i)
    if (!startsWithSpace(panel[i])) names.push_back(panel[i]);
  const CallMatcher matcher(names);
  const std::vector<int> refs = matcher.countLines(src.code, true, bar, 80);
  for (size_t i = first; i < panel.size(); ++i) {
    Text& line = panel[i];
    if (startsWithSpace(line)) continue;
    const int count = refs[matcher.keyOf(line)];
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
