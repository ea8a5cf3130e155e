#include "source/func_index.h"

#include <gtest/gtest.h>

#include "source/scanner.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;

std::vector<std::string> indexOf(const TextList& source, bool indent = false) {
  Lines code;
  FuncIndex index;
  stripComments(source, code, nullptr, 1);
  makeFuncIndex(code, index, 20, nullptr, indent);
  return utf8(recordTexts(index));
}

std::string place(int line, int col) { return std::to_string(line) + ":" + std::to_string(col); }

// A record's typed fields on one line.
std::string fields(const FuncRecord& r) {
  const char* kind = r.kind == FuncKind::TopLevel ? "top"
                     : r.kind == FuncKind::Nested ? "nested"
                                                  : "other";
  std::string s = std::string(kind) + " [" + utf8(r.name()) + "]";
  if (r.kind == FuncKind::Nested) s += " in [" + utf8(r.enclosing()) + "]";
  s += " " + place(r.startLine, r.startCol) + " " + place(r.endLine, r.endCol);
  if (const auto d = r.defined()) s += " defines [" + utf8(*d) + "]";
  return s;
}

TEST(MakeFuncIndex, Records) {
  struct Case {
    std::initializer_list<const char*> source;
    std::vector<std::string> index;
  };
  const Case cases[] = {
      {{"(defun foo (a) (+ a 1))"}, {"foo ,,0,0,0,22"}},
      {{"(DeFuN Foo (x) x)"}, {"Foo ,,0,0,0,16"}},
      {{"(defun-q foo () 1)", "\"(defun s () 1)\"", "; (defun c () 1)", "'(defun d () 1)"}, {}},
      // The reader's defun: blanks after "(", the name or the list on later lines, nil.
      {{"( defun bar () 1)"}, {"bar,,0,0,0,16"}},
      {{"(defun late", "  (x)", "  (defun inner () 1))"}, {"late,,0,0,2,20", "late,inner ,2,2"}},
      {{"(defun", "  next (x) x)"}, {"next,,0,0,1,12"}},
      {{"(defun none nil (princ))", "(defun tight() 1)"}, {"none,,0,0,0,23", "tight,,1,0,1,16"}},
      {{"(mapcar '(lambda (x) (defun q () x)) l)"}, {"q ,,0,21,0,34"}},
      {{"(defun  two (x) x)"}, {" two ,,0,0,0,17"}},
      {{"", "", "", "(defun outer (x)", "  (defun inner (y) y)", "  (inner x))"},
       {"outer ,,3,0,5,11", "outer ,inner ,4,2"}},
      // Nested records come out sorted by name.
      {{"(defun o ()", " (defun zeta () 1)", " (defun Alpha () 2)", ")"},
       {"o ,,0,0,3,0", "o ,Alpha ,2,1", "o ,zeta ,1,1"}},
      // Several functions on one line, each found.
      {{"(defun a () 1)(defun b () 2)"}, {"a ,,0,0,0,13", "b ,,0,14,0,27"}},
      // A missing ")" in the second function drops it and everything after it.
      {{"(defun a () 1)", "(defun b ()", "  (+ 1 2)", "(defun c () 3)"}, {"a ,,0,0,0,13"}},
      // Nested defuns anywhere in the function, at any depth, under the outermost one.
      {{"(defun o ()", " (defun p () 1) (defun q () (defun r () 3))", ")"},
       {"o ,,0,0,2,0", "o ,p ,1,1", "o ,q ,1,16", "o ,r ,1,28"}},
      {{"(defun o () (defun p () 1)", ")"}, {"o ,,0,0,1,0", "o ,p ,0,12"}},
      // A string holding a parenthesis or a quote with its backslash escaped ends where
      // AutoLISP ends it.
      {{"(defun s () \"a\\\\\\\"(\" \"\\\\\")", "(defun t2 () 1)"},
       {"s ,,0,0,0,13", "t2 ,,1,0,1,14"}},
      {{"(setq x 1) (defun f () 1)"}, {"f ,,0,11,0,24"}},
      {{"   ", "\t"}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(indexOf(lines(c.source)), c.index) << *c.source.begin();
}

TEST(MakeFuncIndex, TypedFieldsAsTheTextSplits) {
  struct Case {
    TextList source;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {lines({"(defun foo (a) (+ a 1))"}), {"top [foo] 0:0 0:22 defines [foo]"}},
      {lines({"(defun outer (x)", "  (defun inner (y) y)", "  (inner x))"}),
       {"top [outer] 0:0 2:11 defines [outer]",
        "nested [inner] in [outer] 1:2 -1:-1 defines [inner]"}},
      // A name with a comma splits into more items: the first one still counts as defined,
      // even when it is the enclosing function's name.
      {lines({"(defun foo bar (a) a)"}), {"top [foo] 0:0 0:20 defines [foo]"}},
      {lines({"(defun a,b (x) x)"}), {"other [] -1:0 -1:-1 defines [a]"}},
      {lines({"(defun o ()", " (defun p q () 1)", " (defun  () 1)", ")"}),
       {"top [o] 0:0 3:0 defines [o]", "nested [p] in [o] 1:1 -1:-1 defines [p]"}},
      {lines({"(defun o ()", " (defun p,q () 1)", ")"}),
       {"top [o] 0:0 2:0 defines [o]", "other [] -1:0 -1:-1 defines [o]"}},
      // A NUL separates words as a blank does.
      {{Text(u"(defun a\0b (x) x)", 18)}, {"top [a] 0:0 0:16 defines [a]"}},
  };
  for (const Case& c : cases) {
    for (bool indent : {false, true}) {
      Lines code;
      FuncIndex index;
      stripComments(c.source, code, nullptr, 1);
      makeFuncIndex(code, index, 20, nullptr, indent);
      std::vector<std::string> got;
      for (const FuncRecord& r : index) got.push_back(fields(r));
      EXPECT_EQ(got, c.fields) << utf8(c.source[0]) << (indent ? " with indent" : "");
    }
  }
  EXPECT_EQ(indexOf(lines({"(defun foo (a) (+ a 1))"}), true),
            std::vector<std::string>{"foo ,         ,0,0,0,22"});
}

TEST(MakeFuncIndex, EmptyCodeLeavesIndexAndBarAlone) {
  FuncRecord keep;
  keep.text = u"keep";
  FuncIndex index = {keep};
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
