// The checks on many odd and generated sources: what they report holds together.
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

// Every finding the checks hand to the lint stands in the panel they write, under the same
// words, on odd sources and generated files alike.
TEST(ChecksOnOddSources, FindingsStandInThePanel) {
  const ExclusionList exclusions = ExclusionList::withFileLines({u"lst", u"Qux"});
  const TextList entries = {u"setq", u"princ", u"mapcar", u"if",     u"progn",
                            u"+",    u"1+",    u"car",    u"strcat", u"list"};
  const BuiltinList builtins = BuiltinList::fromFileLines(entries);
  size_t seen = 0;
  for (const TextList& src : sources()) {
    const std::string first = utf8(src.empty() ? Text() : src[0]);
    for (int check = 0; check < 2; ++check) {
      Findings findings;
      const TextList panel =
          check == 0 ? variableCheck(src, exclusions, WhenClear::AllClearLines, nullptr, &findings)
                     : funcCheck(src, builtins, nullptr, &findings);
      Text all;
      for (const Text& line : panel) all += line + u" \n";
      for (const Finding& f : findings) {
        EXPECT_NE(all.find(f.name + u" "), Text::npos) << f.category << " " << first;
        EXPECT_GE(f.line, 1) << first;
        EXPECT_LE(f.line, static_cast<int>(std::max<size_t>(src.size(), 1))) << first;
      }
      seen += findings.size();
    }
  }
  EXPECT_GT(seen, 1000u);
}

}  // namespace
}  // namespace nokari
