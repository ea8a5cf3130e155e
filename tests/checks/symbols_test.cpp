#include "checks/symbols.h"

#include <gtest/gtest.h>

#include "source/scanner.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;
using Names = std::vector<std::string>;

TEST(Masks, BlankHeadsQuotesAndParens) {
  struct Case {
    const char* line;
    const char* heads;   // after maskCallHeads
    const char* quoted;  // after both masks
  };
  const Case cases[] = {
      {"(setq a (+ b 1))", "      a    b 1  ", "      a    b 1  "},
      {"(setq lst '(a b c))", "      lst '(a b c  ", "      lst     b c  "},
      {"( setq a 1)", "( setq a 1 ", "  setq a 1 "},
      // A "(" at the line's end starts a head and is blanked with it.
      {"(foo", "    ", "    "},
      {"x 'y z", "x 'y z", "x    z"},
  };
  for (const Case& c : cases) {
    const Text heads = maskCallHeads(fromUtf8(c.line));
    EXPECT_EQ(utf8(heads), c.heads) << c.line;
    EXPECT_EQ(utf8(maskQuoted(heads)), c.quoted) << c.line;
  }
}

TEST(IsNumberText, Forms) {
  for (const char* yes : {"12", "-3", "+4", "2.5", "1E3", "1e-3", ".5", "5.", "-0.5E+10"})
    EXPECT_TRUE(isNumberText(fromUtf8(yes))) << yes;
  for (const char* no : {"", "1+", "x1", "-", ".", "1E", "e3", "1.2.3", "1e3x", "0x10", " 1"})
    EXPECT_FALSE(isNumberText(fromUtf8(no))) << no;
}

TEST(CollectRangeSymbols, WordsOfOneLine) {
  const ExclusionList exclusions = ExclusionList::defaults();
  struct Case {
    const char* line;
    Names symbols;
  };
  const Case cases[] = {
      {"(setq lst (list 'a 'b))", {"lst"}},
      {"(setq lst '(a b c))", {"b", "c", "lst"}},
      {"(mapcar '(lambda (x y) (+ x y)) l1 l2)", {"l1", "l2", "x", "y"}},
      {"( setq a 1)", {"a", "setq"}},
      {"(foreach item lst (princ item))", {"item", "lst"}},
      {"(vl-load-com)", {}},
      {"(princ)", {}},
      {"(setq n 10 r 2.5 e 1e3)", {"e", "n", "r"}},
      {"(setq T nil)", {}},
      {"(setq pi PI *Error* x)", {"x"}},
      {"(setq Abc 1 ABC 2 abc 3)", {"Abc"}},
      {"(setq b,c 1)", {"b", "c"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(utf8(collectRangeSymbols(lines({c.line}), 0, 0, exclusions)), c.symbols) << c.line;
}

TEST(CollectRangeSymbols, Ranges) {
  const ExclusionList exclusions = ExclusionList::defaults();
  const TextList code = lines({"(setq b 1)", "   ", "(setq a 2)", "\t"});
  EXPECT_EQ(utf8(collectRangeSymbols(code, 0, 3, exclusions)), (Names{"a", "b"}));
  EXPECT_EQ(utf8(collectRangeSymbols(code, 1, 1, exclusions)), Names{});
  EXPECT_EQ(utf8(collectRangeSymbols(code, 2, 1, exclusions)), Names{});
  EXPECT_EQ(utf8(collectRangeSymbols(code, 2, 99, exclusions)), Names{"a"});
  // Without an exclusion list T and nil are words like any other.
  EXPECT_EQ(utf8(collectRangeSymbols(lines({"(setq T nil)"}), 0, 0, ExclusionList())),
            (Names{"nil", "T"}));
}

TEST(DefunBodyRegion, StartsWhereTheParameterListCloses) {
  struct Case {
    std::initializer_list<const char*> code;
    std::vector<std::string> region;
  };
  const Case cases[] = {
      {{"(defun f (a) (g a))"}, {") (g a))"}},
      {{"(defun f (a) a)"}, {") a)"}},
      // Words before the body's first parenthesis belong to the body too.
      {{"(defun f (a) xyz (g a))"}, {") xyz (g a))"}},
      {{"(defun f (x)", "  (g x)", "  x)", "(h)"}, {")", "  (g x)", "  x)"}},
      {{"(defun f (x)", "  (g x)"}, {}},  // never closes
      {{"x (defun f () 1) y"}, {") 1)"}},
  };
  for (const Case& c : cases) {
    const TextList code = lines(c.code);
    const size_t col = code[0].find(u'(');
    EXPECT_EQ(utf8(defunBodyRegion(code, 0, static_cast<int>(col))), c.region) << *c.code.begin();
  }
  EXPECT_TRUE(defunBodyRegion(lines({"(defun f () 1)"}), 5, 0).empty());
  EXPECT_TRUE(defunBodyRegion(lines({"(defun f () 1)"}), -1, 0).empty());
}

TEST(CollectBodySymbols, NestedDefunsMaskedOnlyInOwnBody) {
  const ExclusionList exclusions = ExclusionList::defaults();
  const TextList code = lines({"(defun outer (a / k)", "  (setq a 1)",
                               "  (defun inner (p) (princ p)) (setq k 1)", "  (g z))"});
  EXPECT_EQ(utf8(collectOwnBodySymbols(code, 0, 0, exclusions)), (Names{"a", "z"}));
  EXPECT_EQ(utf8(collectBodySymbols(code, 0, 0, exclusions)), (Names{"a", "inner", "k", "p", "z"}));
  // A nested defun over several lines is masked up to the line where it balances.
  const TextList multi =
      lines({"(defun o ()", "  (defun i (q)", "    (setq w q))", "  (setq v 1))"});
  EXPECT_EQ(utf8(collectOwnBodySymbols(multi, 0, 0, exclusions)), Names{"v"});
  // A top-level function on the first line of the file is read like any other.
  EXPECT_EQ(utf8(collectBodySymbols(lines({"(defun f (a) (setq b a))"}), 0, 0, exclusions)),
            (Names{"a", "b"}));
}

TEST(GetDefunLocals, ParameterLists) {
  struct Case {
    std::initializer_list<const char*> code;
    Names locals;
  };
  const Case cases[] = {
      {{"(defun f (a b / y x y)"}, {"x", "y", "y"}},
      {{"(defun f (a b)"}, {}},
      {{"(defun f (a /", "x y)"}, {"x", "y"}},
      {{"(defun f (/ b a b)"}, {"a", "b", "b"}},
      {{"(defun f nil", "(setq x (/ 1 2)))"}, {}},
      {{"(defun f (a", "  / x", "  y)"}, {"x", "y"}},
      {{"(defun f (a / x", ")"}, {"x"}},
      // A later "/" moves the start.
      {{"(defun f (a / b / c)"}, {"c"}},
      {{"(defun f (a / x"}, {}},
      {{"(defun f ((a) / x)"}, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(utf8(getDefunLocals(lines(c.code), 0, 0)), c.locals) << *c.code.begin();
  EXPECT_TRUE(getDefunLocals(lines({"(defun f (/ x)"}), 3, 0).empty());
}

}  // namespace
}  // namespace nokari
