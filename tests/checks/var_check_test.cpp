#include "checks/var_check.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;
using Lines = std::vector<std::string>;

const Lines kAllClear = {"■変数チェック", "未使用変数、未宣言変数はありません．"};

Lines check(const TextList& source) {
  return utf8(variableCheck(source, ExclusionList::defaults(), WhenClear::AllClearLines, nullptr));
}

TEST(VariableCheck, WorkedExample) {
  const TextList source = lines({"(setq gvar 1)", "(defun c:test (a b / x y x)",
                                 "  (setq x (+ a 1))", "  (setq z 2)", "  (defun inner (p / q)",
                                 "    (setq q (* p y w)))", "  (princ)", ")", "(setq after 3)"});
  const Lines expected = {"    1|[グローバル(全関数定義の前方)]",
                          "     gvar ",
                          "    2| c:test ( a b  / x x y )",
                          "     [重複]",
                          "     x ",
                          "     [グローバル]",
                          "     z ",
                          "     [未使用]",
                          "     b ",
                          "    5|  + inner ( p  / q )",
                          "     [サブ関数内でグローバル]",
                          "     w ",
                          "    9|[グローバル(全関数の後方)]",
                          "     after "};
  NullProgress bar;
  bar.setPosition(7);
  Findings findings;
  EXPECT_EQ(utf8(variableCheck(source, ExclusionList::defaults(), WhenClear::AllClearLines, &bar,
                               &findings)),
            expected);
  EXPECT_EQ(bar.position(), 0);
  std::vector<std::string> found;
  for (const Finding& f : findings)
    found.push_back(std::to_string(f.line) + " " + f.category + " " + utf8(f.name));
  // Each where it stands: a repeated local at its second place, a global where first met.
  EXPECT_EQ(found, (Lines{"1 toplevel-global gvar", "2 duplicate-local x", "4 global z",
                          "2 unused-argument b", "6 nested-global w", "9 toplevel-global after"}));
}

TEST(VariableCheck, Reports) {
  struct Case {
    const char* what;
    std::initializer_list<const char*> source;
    Lines panel;
  };
  const Case cases[] = {
      {"no defun",
       {"(setq a 1)", "(setq b c)"},
       {"    2|[グローバル(全関数の後方)]", "     a b c "}},
      {"clean function", {"(defun f (a / b) (setq b a))"}, kAllClear},
      {"code between functions", {"(defun a () 1)", "(setq mid 1)", "(defun b () 2)"}, kAllClear},
      {"twelve globals",
       {"(defun f () (list aa bb cc dd ee ff gg hh ii jj kk ll))"},
       {"    1| f ()", "     [グローバル]", "     aa bb cc dd ee ff gg hh ii jj ", "     kk ll "}},
      {"seven leading names",
       {"(setq a 1 b 2 c 3 d 4 e 5 f 6 g 7)", "(defun h () 1)"},
       {"    1|[グローバル(全関数定義の前方)]", "     f g ", "     a b c d e "}},
      {"local three times",
       {"(defun f (/ x x x) 1)"},
       {"    1| f ( / x x x )", "     [重複]", "     x x ", "     [未使用]", "     x "}},
      // A declared name is used when the body sets or reads it, an excluded one too, and when
      // a nested defun of its name sets it; an unused excluded argument of a nested function
      // is not reported.
      {"excluded local, used",
       {"(defun c:f (/ *error*)", "  (setq *error* nil)", "  (princ))"},
       kAllClear},
      {"excluded local that is a nested defun",
       {"(defun c:f (/ *error* x)", "  (defun *error* (msg) (princ msg))", "  (setq x 1))"},
       kAllClear},
      {"excluded local declared twice",
       {"(defun f (/ *error* *error*) 1)"},
       {"    1| f ( / *error* *error* )", "     [重複]", "     *error* ", "     [未使用]",
        "     *error* "}},
      {"excluded argument, used", {"(defun f (T) (princ T))"}, kAllClear},
      {"excluded argument and local",
       {"(defun c:f (T / *error* x)", "  (defun *error* (msg) (princ msg))",
        "  (defun i (nil / pi) (princ nil))", "  (princ T))"},
       {"    1| c:f ( T  / *error* x )", "     [未使用]", "     x ", "    3|  + i ( nil  / pi )",
        "     [未使用]", "     pi "}},
      {"excluded argument of a nested function",
       {"(defun o (a)", "  (defun i (T nil p q) (princ p))", "  (i T nil a))"},
       {"    2|  + i ( T nil p q )", "     [未使用]", "     q "}},
      {"excluded local of a nested function",
       {"(defun o (a)", "  (defun i (p / *error*) (setq *error* p))", "  (i a))"},
       kAllClear},
      {"function of a nested defun",
       {"(defun o ()", "  (defun inner () 1)", "  (mapcar (function inner) l))"},
       {"    1| o ()", "     [グローバル]", "     l "}},
      {"function of a nested defun, other case",
       {"(defun o ()", "  (defun inner () 1)", "  (mapcar (function Inner) l))"},
       {"    1| o ()", "     [グローバル]", "     l "}},
      {"a function read as a value",
       {"(defun err (m) m)", "(defun c:x (/ old)", "  (setq old *error* *error* err))"},
       kAllClear},
      {"parameter list on the next line",
       {"(defun SqlGet", "  (q / r)", "  (setq r q s 1))"},
       {"    1| SqlGet ( q  / r )", "     [グローバル]", "     s "}},
      {"nil for a parameter list",
       {"(defun f nil (setq g 1))"},
       {"    1| f ()", "     [グローバル]", "     g "}},
      {"two functions on one line",
       {"(defun a (x) 1)(defun b () y)"},
       {"    1| a ( x )", "     [未使用]", "     x ", "    1| b ()", "     [グローバル]",
        "     y "}},
      // A lambda's names are its own; what it sets without declaring is its function's.
      {"lambda",
       {"(defun f (l / n)", "  (mapcar '(lambda (a b / c) (setq c (+ a b) leak c)) l l)",
        "  (mapcar (function (lambda (x) (* x n))) l)", "  ((lambda (y) y) 1))"},
       {"    1| f ( l  / n )", "     [グローバル]", "     leak "}},
      {"foreach and vlax-for",
       {"(defun f (l / e)", "  (foreach x l (print x))", "  (vlax-for o (coll) (print o))",
        "  (foreach e l e))"},
       kAllClear},
      {"quoted data",
       {"(defun f ()", "  (ssget \"X\" '((0 . \"LINE\") (8 . \"0\")))",
        "  (setq l '(a b c) m (quote (d e)))", "  (princ 'g))"},
       {"    1| f ()", "     [グローバル]", "     l m "}},
      {"nested defun's own list",
       {"(defun c (a b / q)", "  (defun q (r", "      j / z)", "    (setq z (+ r j a)))",
        "  (q a b))"},
       kAllClear},
      // A name in scope called as a function is the variable's value; cond's clauses are no
      // calls.
      {"variable called", {"(defun g (fun x) (cond (x (fun 1)) ((fun 2))))"}, kAllClear},
      {"case of a use", {"(defun f (/ Total) (setq TOTAL 1))"}, kAllClear},
      {"numbers and excluded names",
       {"(defun f () (setq n 10 T nil r pi))"},
       {"    1| f ()", "     [グローバル]", "     n r "}},
      {"nested local used by nothing",
       {"(defun o (a)", "  (defun i (p / q r) (setq q p z a))", "  (i a))"},
       {"    2|  + i ( p  / q r )", "     [サブ関数内でグローバル]", "     z ", "     [未使用]",
        "     r "}},
      // A first line of length 0 does not stop the analysis.
      {"empty first line", {"", "(defun f (a) 1)"}, {"    2| f ( a )", "     [未使用]", "     a "}},
      // The body starts right after the parameter list: no word of it is lost or cut.
      {"body without parenthesis", {"(defun f (abc) abc)", "(defun g ()", "  nil)"}, kAllClear},
      {"word before the first parenthesis",
       {"(defun f (a) xyz (g a))"},
       {"    1| f ( a )", "     [グローバル]", "     xyz "}},
      // A function the file ends inside is left to the parenthesis check.
      {"unclosed defun", {"(defun f (a)", "  (setq b a)"}, kAllClear},
      {"only blanks", {"  ", ""}, kAllClear},
  };
  for (const Case& c : cases) EXPECT_EQ(check(lines(c.source)), c.panel) << c.what;
}

TEST(VariableCheck, EmptySourceAndMessageFlag) {
  NullProgress bar;
  bar.setPosition(5);
  EXPECT_EQ(utf8(variableCheck({}, ExclusionList::defaults(), WhenClear::AllClearLines, &bar)),
            kAllClear);
  EXPECT_EQ(bar.position(), 5);  // nothing ran
  EXPECT_TRUE(variableCheck({}, ExclusionList::defaults(), WhenClear::Nothing, nullptr).empty());
  EXPECT_TRUE(variableCheck(lines({"(defun f (a) a)"}), ExclusionList::defaults(),
                            WhenClear::Nothing, nullptr)
                  .empty());
}

TEST(LineNumberField, RightAlignedInFive) {
  const std::pair<int, const char*> cases[] = {
      {1, "    1"}, {10, "   10"}, {100, "  100"}, {10000, "10000"}, {123456, "123456"}};
  for (const auto& [n, text] : cases) EXPECT_EQ(utf8(lineNumberField(n)), text);
}

}  // namespace
}  // namespace nokari
