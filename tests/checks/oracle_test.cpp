// The checks written the slow way they read (every lookup a linear search, every reference a
// substring search of every line for every name, every nested body collected anew where it is
// needed), against the fast forms, on many generated files.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "bench/lsp_gen.h"
#include "checks/func_check.h"
#include "checks/symbols.h"
#include "checks/var_check.h"
#include "platform/collate.h"
#include "platform/files.h"
#include "source/decode.h"
#include "source/func_index.h"
#include "source/scanner.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::utf8;

// ---- The literal forms -------------------------------------------------------------------

int indexOfIgnoreCase(const TextList& list, std::u16string_view name) {
  for (size_t i = 0; i < list.size(); ++i)
    if (sameTextIgnoreCase(list[i], name)) return static_cast<int>(i);
  return -1;
}

bool literalCandidate(const Text& name, const ExclusionList& exclusions) {
  const Text upper = upperAscii(name);
  if (!exclusions.empty() && indexOfIgnoreCase(exclusions.entries(), upper) >= 0) return false;
  return !isNumberText(upper);
}

TextList literalSymbols(const TextList& region, const ExclusionList& exclusions) {
  TextList result;
  for (const Text& line : region) {
    if (trim(line).empty()) continue;
    for (const Text& item : splitCommaText(maskQuoted(maskCallHeads(line))))
      if (indexOfIgnoreCase(result, item) < 0) result.push_back(item);
  }
  for (size_t i = result.size(); i-- > 0;)
    if (!literalCandidate(result[i], exclusions))
      result.erase(result.begin() + static_cast<long>(i));
  sortTextIgnoreCase(result);
  return result;
}

TextList literalBody(const Lines& code, int line, int col, bool own,
                     const ExclusionList& exclusions) {
  TextList region = defunBodyRegion(code, line, col);
  if (own) maskNestedDefuns(region);
  return literalSymbols(region, exclusions);
}

// The names of `list` found in none of the others.
TextList notIn(const TextList& list, std::initializer_list<const TextList*> others) {
  TextList out;
  for (const Text& n : list) {
    bool found = false;
    for (const TextList* o : others) found = found || indexOfIgnoreCase(*o, n) >= 0;
    if (!found) out.push_back(n);
  }
  return out;
}

Text field(int n) {
  std::string s = std::to_string(n);
  while (s.size() < 5) s.insert(s.begin(), ' ');
  return fromAscii(s);
}

void nameLines(TextList& panel, const TextList& names, size_t perLine, bool reversed) {
  TextList groups;
  for (size_t i = 0; i < names.size(); i += perLine) {
    Text l = u"     ";
    for (size_t j = i; j < names.size() && j < i + perLine; ++j) l += names[j] + u" ";
    groups.push_back(l);
  }
  if (reversed) std::reverse(groups.begin(), groups.end());
  panel.insert(panel.end(), groups.begin(), groups.end());
}

Text header(const Text& name, const TextList& a, const TextList& l) {
  Text h = name + u" (";
  if (!a.empty()) {
    h += u" ";
    for (const Text& x : a) h += x + u" ";
  }
  if (!l.empty()) {
    h += u" / ";
    for (const Text& x : l) h += x + u" ";
  }
  return h + u")";
}

TextList literalVarCheck(const TextList& lspSL, const ExclusionList& exclusions) {
  TextList panel;
  if (lspSL.empty()) return {u"■変数チェック", u"未使用変数、未宣言変数はありません．"};
  Lines code;
  FuncIndex made;
  stripComments(lspSL, code, nullptr, 80);
  makeFuncIndex(code, made, 20, nullptr, false);
  const TextList index = recordTexts(made);
  int prevEnd = -1;
  TextList topA, topL;
  for (size_t i = 0; i < index.size(); ++i) {
    const TextList items = splitCommaText(index[i]);
    if (items.size() == 6) {
      const int s = toIntDef(items[2], -1), col = toIntDef(items[3], 0);
      if (prevEnd == -1) {
        TextList lead = s > 0 ? literalSymbols(TextList(code.begin(), code.begin() + s), exclusions)
                              : TextList();
        if (!lead.empty()) {
          TextList block{u"    1|[グローバル(全関数定義の前方)]"};
          nameLines(block, lead, 5, true);
          panel.insert(panel.begin(), block.begin(), block.end());
        }
      }
      prevEnd = toIntDef(items[4], -1);
      TextList nestedNames;
      for (size_t j = i + 1; j < index.size(); ++j) {
        TextList o = splitCommaText(index[j]);
        if (o.size() != 4) break;
        nestedNames.push_back(o[1]);
      }
      topA = splitLines(getDefunParams(code, s, col));
      topL = getDefunLocals(code, s, col);
      TextList used = literalBody(code, s, col, true, exclusions);
      panel.push_back(field(s + 1) + u"| " + header(items[0], topA, topL));
      int count = 0;
      TextList dup;
      for (size_t j = 0; j + 1 < topL.size(); ++j)
        for (size_t k = j + 1; k < topL.size(); ++k)
          if (sameTextIgnoreCase(topL[j], topL[k])) {
            dup.push_back(topL[j]);
            break;
          }
      if (!dup.empty()) {
        panel.push_back(u"     [重複]");
        Text l = u"     ";
        for (const Text& d : dup) l += d + u" ";
        panel.push_back(l);
        ++count;
      }
      TextList globals;
      for (const Text& g : notIn(used, {&topA, &topL}))
        if (literalCandidate(g, exclusions) &&
            std::find(nestedNames.begin(), nestedNames.end(), g) == nestedNames.end())
          globals.push_back(g);
      if (!globals.empty()) {
        panel.push_back(u"     [グローバル]");
        nameLines(panel, globals, 10, false);
        ++count;
      }
      TextList unusedA = notIn(topA, {&used});
      if (!unusedA.empty()) {
        panel.push_back(u"     [未使用]");
        nameLines(panel, unusedA, 10, false);
        ++count;
      }
      TextList extended = used;
      for (size_t j = i + 1; j < index.size(); ++j) {
        TextList o = splitCommaText(index[j]);
        if (o.size() != 4) break;
        if (o[0] != items[0]) continue;
        const int nl = toIntDef(o[2], -1), nc = toIntDef(o[3], 0);
        TextList a2 = splitLines(getDefunParams(code, nl, nc)), l2 = getDefunLocals(code, nl, nc);
        TextList u2 = literalBody(code, nl, nc, false, exclusions);
        for (const Text& f : notIn(u2, {&a2, &l2})) extended.push_back(f);
      }
      TextList unusedL = notIn(topL, {&extended});
      if (!unusedL.empty()) {
        panel.push_back(u"     [未使用]");
        nameLines(panel, unusedL, 10, false);
        ++count;
      }
      if (count == 0) panel.pop_back();
    } else if (items.size() == 4) {
      const int nl = toIntDef(items[2], -1), nc = toIntDef(items[3], 0);
      TextList a2 = splitLines(getDefunParams(code, nl, nc)), l2 = getDefunLocals(code, nl, nc);
      TextList u2 = literalBody(code, nl, nc, false, exclusions);
      panel.push_back(field(nl + 1) + u"|  + " + header(items[1], a2, l2));
      int count = 0;
      TextList g;
      for (const Text& n : notIn(u2, {&a2, &l2, &topL, &topA}))
        if (literalCandidate(n, exclusions)) g.push_back(n);
      if (!g.empty()) {
        panel.push_back(u"     [サブ関数内でグローバル]");
        nameLines(panel, g, 10, false);
        ++count;
      }
      TextList ua;
      for (const Text& n : notIn(a2, {&u2}))
        if (literalCandidate(n, exclusions)) ua.push_back(n);
      if (!ua.empty()) {
        panel.push_back(u"     [未使用]");
        nameLines(panel, ua, 10, false);
        ++count;
      }
      TextList ul = notIn(l2, {&u2});
      if (!ul.empty()) {
        panel.push_back(u"     [未使用]");
        nameLines(panel, ul, 10, false);
        ++count;
      }
      if (count == 0) panel.pop_back();
    }
  }
  const int last = static_cast<int>(code.size()) - 1;
  if (prevEnd < last) {
    TextList trail = literalSymbols(TextList(code.begin() + (prevEnd + 1), code.end()), exclusions);
    if (!trail.empty()) {
      panel.push_back(field(last + 1) + u"|[グローバル(全関数の後方)]");
      nameLines(panel, trail, 5, true);
    }
  }
  if (panel.empty()) panel = {u"■変数チェック", u"未使用変数、未宣言変数はありません．"};
  return panel;
}

// "(" + name + " " (or ")") in the upper-cased line.
bool references(const Text& upperLine, const Text& name, bool closeToo) {
  const Text n = u"(" + upperAscii(name);
  return upperLine.find(n + u" ") != Text::npos ||
         (closeToo && upperLine.find(n + u")") != Text::npos);
}

Text countField(int n) {
  char buf[24];
  std::snprintf(buf, sizeof buf, " [%3d]", n);
  return fromAscii(buf);
}

TextList literalFuncCheck(const TextList& lspSL, const TextList& builtinEntries) {
  TextList panel;
  Lines code;
  stripComments(lspSL, code, nullptr, 10);
  TextList upperCode;
  for (std::u16string_view l : code) upperCode.push_back(upperAscii(l));

  // undefinedCalls
  TextList cands;
  for (std::u16string_view line : code) {
    Text s = trim(line);
    std::replace(s.begin(), s.end(), u'\t', u' ');
    if (s.size() < 2) continue;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] != u'(' || (i + 1 < s.size() && s[i + 1] == u'(')) continue;
      Text r = s.substr(i + 1);
      size_t e = std::min(r.find(u' '), r.find(u')'));
      Text name = e == Text::npos ? r : r.substr(0, e);
      if (size_t p = name.find(u'('); p != Text::npos) name = name.substr(0, p);
      if (name.find_first_not_of(u"0123456789.-") == Text::npos) continue;
      if (name.size() < 2) continue;
      const Text us = upperAscii(s), un = upperAscii(name);
      if (us.find(u"DEFUN") != Text::npos || us.find(u"LAMBDA") != Text::npos) continue;
      bool vl = false;
      for (const char16_t* w : {u"VLAX-", u"VLA-", u"VLE-", u"VL-", u"ACET-", u"DOS_"})
        vl = vl || un.find(w) != Text::npos;
      if (!vl) cands.push_back(trim(name));
    }
  }
  if (!cands.empty()) {
    sortTextIgnoreCase(cands);
    for (size_t i = cands.size() - 1; i >= 1; --i)
      if (upperAscii(cands[i]) == upperAscii(cands[i - 1]))
        cands.erase(cands.begin() + static_cast<long>(i));
    for (size_t i = cands.size(); i-- > 0;) {
      bool builtin = false;
      for (const Text& b : builtinEntries) builtin = builtin || sameTextIgnoreCase(b, cands[i]);
      if (builtin) cands.erase(cands.begin() + static_cast<long>(i));
    }
    if (!cands.empty()) {
      FuncIndex made;
      makeFuncIndex(code, made, 20, nullptr, true);
      const TextList index = recordTexts(made);
      TextList defs;
      std::vector<bool> defined(cands.size(), false);
      for (const Text& r : index) {
        TextList items = splitCommaText(r);
        if (items.size() == 6) defs.push_back(items[0]);
        if (items.size() < 4) continue;
        const Text key = upperAscii(items.size() == 4 ? items[1] : items[0]);
        if (key.find(u"C:") != Text::npos) continue;
        for (size_t k = 0; k < cands.size(); ++k)
          defined[k] = defined[k] || upperAscii(cands[k]) == key;
      }
      TextList left;
      for (size_t k = 0; k < cands.size(); ++k)
        if (!defined[k]) left.push_back(cands[k]);
      cands = left;
      sortTextIgnoreCase(defs);
      Text twice;
      for (size_t i = 0; i + 1 < defs.size(); ++i)
        if (upperAscii(defs[i]) == upperAscii(defs[i + 1])) twice += defs[i] + u" ";
      if (!twice.empty()) {
        panel.push_back(u"■重複して定義されているユーザー関数");
        panel.push_back(trim(twice));
      }
    }
    if (!cands.empty()) {
      panel.push_back(u"■定義されていないユーザー関数");
      size_t w = 0;
      for (const Text& c : cands) w = std::max(w, c.size());
      for (const Text& c : cands) {
        int n = 0;
        for (const Text& ul : upperCode) n += references(ul, c, false);
        panel.push_back(c + Text(w - c.size() + 1, u' ') + countField(n));
      }
    }
  }

  FuncIndex made;
  makeFuncIndex(code, made, 10, nullptr, true);
  TextList index = recordTexts(made);
  sortTextIgnoreCase(index);
  // notUsedUserFunc
  const size_t heading = panel.size();
  for (const Text& r : index) {
    TextList items = splitCommaText(r);
    if (items.size() != 6 || upperAscii(items[0].substr(0, 2)) == u"C:") continue;
    int n = 0;
    for (const Text& ul : upperCode) n += references(ul, items[0], true);
    if (n == 0 && !trim(items[0]).empty()) panel.push_back(items[0]);
  }
  if (panel.size() > heading)
    panel.insert(panel.begin() + static_cast<long>(heading), u"■参照されていないユーザー関数");
  // userFuncUsedCount
  const size_t first = panel.size();
  for (const Text& r : index) {
    TextList items = splitCommaText(r);
    if (items.size() == 6 && upperAscii(items[0].substr(0, 2)) != u"C:") panel.push_back(items[0]);
    if (items.size() == 4 && upperAscii(items[0].substr(0, 2)) != u"C:")
      panel.push_back(u"  + " + items[1]);
  }
  if (panel.size() == first) return panel;
  size_t w = 0;
  for (const Text& l : panel) w = std::max(w, l.size());
  for (size_t i = first; i < panel.size(); ++i) {
    if (!panel[i].empty() && panel[i][0] == u' ') continue;
    int n = 0;
    for (const Text& ul : upperCode) n += references(ul, panel[i], true);
    panel[i] += Text(w - panel[i].size(), u' ') + countField(n);
  }
  panel.insert(panel.begin() + static_cast<long>(first), u"■ユーザー関数の出現数");
  return panel;
}

// ---- Odd sources -------------------------------------------------------------------------

// Small random sources full of the constructs the checks treat specially.
class OddSource {
 public:
  explicit OddSource(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}

  TextList make() {
    TextList out;
    const int lines = 20 + below(120);
    int depth = 0;
    while (static_cast<int>(out.size()) < lines) {
      Text l;
      const int kind = below(20);
      if (kind < 4) {
        l = Text(below(3) == 0 ? 2 : 0, u' ') + pick(kDefun) + u" " + name() + u" (" + params() +
            u")";
        ++depth;
        if (below(3) == 0) l += u" " + statement() + u")", --depth;
      } else if (kind < 6 && depth > 0) {
        l = u"  " + statement() + Text(below(3) == 0 ? 2 : 1, u')');
        depth = std::max(0, depth - 1);
      } else if (kind == 6) {
        l = pick(kNoise);
      } else {
        l = u"  " + statement();
      }
      out.push_back(l);
    }
    while (depth-- > 0 && below(5) != 0) out.push_back(u")");
    return out;
  }

 private:
  static constexpr const char16_t* kDefun[] = {u"(defun", u"(DEFUN", u"(Defun"};
  static constexpr const char16_t* kNames[] = {u"foo", u"Foo",  u"bar",   u"c:cmd", u"C:Cmd",
                                               u"baz", u"qux",  u"inner", u"x",     u"a-b",
                                               u"nil", u"foo)", u"1+",    u"vl-go", u"*error*"};
  static constexpr const char16_t* kVars[] = {u"a",     u"A",     u"b",       u"x",   u"X",  u"y",
                                              u"lst",   u"T",     u"nil",     u"pi",  u"12", u"1e3",
                                              u"Total", u"TOTAL", u"*error*", u"foo", u"qux"};
  static constexpr const char16_t* kNoise[] = {u"",
                                               u"   ",
                                               u"; (defun fake () 1)",
                                               u"(princ \"(foo 1)\")",
                                               u";| (bar) |;",
                                               u"\t(setq a 1)",
                                               u"(setq s \"open",
                                               u"close\")",
                                               u"'(a b c)",
                                               u"(mapcar '(lambda (x y) (+ x y)) l1 l2)",
                                               u"(function foo)",
                                               u"(foo)",
                                               u"(foo",
                                               u"( setq k 1)",
                                               u"(c:cmd)",
                                               u"(1+ x)",
                                               u"a,b c",
                                               u"((lambda (z) z) 1)",
                                               u"(vl-load-com)",
                                               u"(setq Abc 1 ABC 2)"};

  uint64_t next() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
  template <size_t N>
  Text pick(const char16_t* const (&a)[N]) {
    return a[below(static_cast<int>(N))];
  }
  Text name() { return pick(kNames); }
  Text params() {
    Text p;
    for (int i = below(4); i > 0; --i) p += pick(kVars) + u" ";
    if (below(2)) {
      p += u"/ ";
      for (int i = below(4); i > 0; --i) p += pick(kVars) + u" ";
    }
    return p;
  }
  Text statement() {
    switch (below(6)) {
      case 0:
        return u"(setq " + pick(kVars) + u" " + pick(kVars) + u")";
      case 1:
        return u"(" + name() + u" " + pick(kVars) + u")";
      case 2:
        return u"(" + name() + u")";
      case 3:
        return pick(kNoise);
      case 4:
        return u"(if " + pick(kVars) + u" (progn (" + name() + u" '" + pick(kVars) + u") " +
               pick(kVars) + u"))";
      default:
        return pick(kVars);
    }
  }
  uint64_t s_;
};

std::vector<TextList> sources() {
  std::vector<TextList> out;
  for (uint64_t seed = 1; seed <= 150; ++seed) out.push_back(OddSource(seed).make());
  auto cp932 = makeCodePage(932);
  for (uint64_t seed = 1; seed <= 25; ++seed) {
    GenParams p;
    p.seed = seed;
    p.lines = 150 + static_cast<int>(seed * 29 % 500);
    p.defuns = 4 + static_cast<int>(seed * 7 % 30);
    p.nested = (seed % 4) * 0.25;
    std::string bytes = generateLsp(p);
    if (seed % 3 == 0 && bytes.size() > 100) bytes.erase(bytes.size() / 3, 1);
    out.push_back(decodeSource(bytes, *cp932).lines.toList());
  }
  return out;
}

TEST(ChecksOracle, VariableCheckMatchesTheLiteralForm) {
  const ExclusionList exclusions = ExclusionList::withFileLines({u"lst", u"Qux"});
  size_t findings = 0;
  for (const TextList& src : sources()) {
    const TextList fast = variableCheck(src, exclusions, true, nullptr);
    ASSERT_EQ(utf8(fast), utf8(literalVarCheck(src, exclusions)))
        << utf8(src.empty() ? Text() : src[0]);
    findings += fast.size();
  }
  EXPECT_GT(findings, 1000u);
}

TEST(ChecksOracle, FunctionCheckMatchesTheLiteralForm) {
  const TextList entries = {u"setq", u"princ", u"mapcar", u"if",     u"progn",
                            u"+",    u"1+",    u"car",    u"strcat", u"list"};
  const BuiltinList builtins = BuiltinList::fromFileLines(entries);
  size_t lines = 0;
  for (const TextList& src : sources()) {
    const TextList fast = funcCheck(src, builtins, nullptr);
    ASSERT_EQ(utf8(fast), utf8(literalFuncCheck(src, entries)))
        << utf8(src.empty() ? Text() : src[0]);
    lines += fast.size();
  }
  EXPECT_GT(lines, 1000u);
}

}  // namespace
}  // namespace nokari
