#include "source/func_index.h"

#include <gtest/gtest.h>

#include "source/scanner.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;

std::vector<std::string> indexOf(const TextList& source, bool indent = false) {
  TextList code;
  FuncIndex index;
  stripComments(source, code, nullptr, 1);
  makeFuncIndex(code, index, 20, nullptr, indent);
  return utf8(index);
}

TEST(MakeFuncIndex, Records) {
  struct Case {
    std::initializer_list<const char*> source;
    std::vector<std::string> index;
  };
  const Case cases[] = {
      {{"(defun foo (a) (+ a 1))"}, {"foo ,,0,0,0,22"}},
      {{"(DeFuN Foo (x) x)"}, {"Foo ,,0,0,0,16"}},
      {{"(defun-q foo () 1)", "( defun bar () 1)", "\"(defun s () 1)\"", "; (defun c () 1)"},
       {}},
      {{"(defun  two (x) x)"}, {" two ,,0,0,0,17"}},
      {{"", "", "", "(defun outer (x)", "  (defun inner (y) y)", "  (inner x))"},
       {"outer ,,3,0,5,11", "outer ,inner ,4,2"}},
      // Nested records come out sorted by name.
      {{"(defun o ()", " (defun zeta () 1)", " (defun Alpha () 2)", ")"},
       {"o ,,0,0,3,0", "o ,Alpha ,2,1", "o ,zeta ,1,1"}},
      // The rest of the line after a function's end is not searched.
      {{"(defun a () 1)(defun b () 2)"}, {"a ,,0,0,0,13"}},
      // A missing ")" in the second function drops it and everything after it.
      {{"(defun a () 1)", "(defun b ()", "  (+ 1 2)", "(defun c () 3)"}, {"a ,,0,0,0,13"}},
      // The parameter list on a later line: no record, the body is searched as top level.
      {{"(defun late", "  (x)", "  (defun inner () 1))"}, {"inner ,,2,2,2,19"}},
      // Only the first "(defun " of a line counts as nested.
      {{"(defun o ()", " (defun p () 1) (defun q () 2)", ")"}, {"o ,,0,0,2,0", "o ,p ,1,1"}},
      // Nested defuns on the opening line are not recorded.
      {{"(defun o () (defun p () 1)", ")"}, {"o ,,0,0,1,0"}},
      {{"(setq x 1) (defun f () 1)"}, {"f ,,0,11,0,24"}},
      {{"   ", "\t"}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(indexOf(lines(c.source)), c.index) << *c.source.begin();
}

TEST(MakeFuncIndex, IndentAndSplitRecords) {
  auto index = indexOf(lines({"(defun foo (a) (+ a 1))"}), true);
  ASSERT_EQ(index.size(), 1u);
  EXPECT_EQ(index[0], "foo ,         ,0,0,0,22");
  FuncRecord rec = readFuncRecord(fromUtf8(index[0]));
  EXPECT_EQ(utf8(rec.items), (std::vector<std::string>{"foo", "", "0", "0", "0", "22"}));
  EXPECT_TRUE(rec.topLevel());
  EXPECT_EQ(rec.number(6, -1), 22);
  // A name with a space splits into more items and is passed over by readers.
  auto odd = indexOf(lines({"(defun foo bar (a) a)"}));
  EXPECT_FALSE(readFuncRecord(fromUtf8(odd.at(0))).topLevel());
}

TEST(MakeFuncIndex, EmptyCodeLeavesIndexAndBarAlone) {
  FuncIndex index = {u"keep"};
  NullProgress bar;
  bar.setPosition(7);
  makeFuncIndex({}, index, 20, &bar, false);
  EXPECT_EQ(index.size(), 1u);
  EXPECT_EQ(bar.position(), 7);
  makeFuncIndex({u"x"}, index, 20, &bar, false);
  EXPECT_TRUE(index.empty());
  EXPECT_EQ(bar.position(), 0);
}

}  // namespace
}  // namespace nokari
