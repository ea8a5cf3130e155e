#include "checks/paren_check.h"

#include <gtest/gtest.h>

#include "source/decode.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;
using Lines = std::vector<std::string>;

// The panel with its CR LF entries split, as it shows.
Lines shown(const TextList& panel) {
  Lines out;
  for (const Text& entry : panel)
    for (const Text& l : splitLines(entry)) out.push_back(utf8(l));
  return out;
}

const TextList kExample =
    lines({"(defun a ()", "  (princ))", "(defun b ()", "  (princ)", "(defun c ()", "  (princ))"});

TEST(ParenBalanceCheck, ExampleBothMessageVariants) {
  const Lines panel = {"■括弧数不一致", "※(defun から次の (defun 直前まで", "・行範囲 = 3～4",
                       "　括弧数 = 3 > 2", "　範囲内にある関数 = b "};
  ParenResult withEditor = parenBalanceCheck(kExample, true, nullptr);
  EXPECT_EQ(shown(withEditor.panel), panel);
  EXPECT_FALSE(withEditor.balanced);
  ASSERT_TRUE(withEditor.message);
  EXPECT_EQ(utf8(withEditor.message->text),
            "括弧数 = 9 > 8, 上からの最終一致行 = 2\n"
            "これより下の行で括弧数が一致していません，\n"
            "(defun b ) 内か、それより上の 3 行までで一致していない可能性があります．\n"
            "(defun b ) へジャンプしますか？");
  EXPECT_TRUE(withEditor.message->question);
  EXPECT_EQ(withEditor.message->jumpLine, 3);

  ParenResult plain = parenBalanceCheck(kExample, false, nullptr);
  EXPECT_EQ(shown(plain.panel), panel);
  ASSERT_TRUE(plain.message);
  EXPECT_EQ(utf8(plain.message->text),
            "括弧数 = 9 > 8, 上からの最終一致行 = 2\n"
            "これより下の行で括弧数が一致していません，\n"
            "(defun b ) 内か、それより上の 3 行までで一致していない可能性があります．");
  EXPECT_FALSE(plain.message->question);
  EXPECT_EQ(plain.message->jumpLine, 0);
}

TEST(ParenBalanceCheck, Cases) {
  struct Case {
    const char* what;
    std::initializer_list<const char*> source;
    bool editor;
    Lines panel;
    const char* message;  // nullptr: none
    int jumpLine;
  };
  const Case cases[] = {
      {"balanced",
       {"(defun f ()", "  (defun g () 1)", "  (g))"},
       false,
       {"■全体の括弧数チェック", "括弧数= 5 : 5", "行数= 3, 関数= 2",
        "全体での括弧数は一致しています．"},
       nullptr,
       0},
      {"a nested defun in the first column is no piece of its own",
       {"(defun f ()", "(defun g () 1)", "  (g))"},
       false,
       {"■全体の括弧数チェック", "括弧数= 5 : 5", "行数= 3, 関数= 2",
        "全体での括弧数は一致しています．"},
       nullptr,
       0},
      {"pieces off, whole file balanced",
       {"(defun f () 1))", "(defun g () (1)"},
       false,
       {"■括弧数不一致", "※(defun から次の (defun 直前まで", "・行範囲 = 1～1", "　括弧数 = 2 < 3",
        "　範囲内にある関数 = f ", "・行範囲 = 2～2", "　括弧数 = 3 > 2", "　範囲内にある関数 = g ",
        "■全体の括弧数チェック", "括弧数= 5 : 5", "行数= 2, 関数= 1",
        "全体での括弧数は一致しています．"},
       nullptr,
       0},
      {"parentheses in strings and comments",
       {"(defun f () \"((\" ; ((", "  ;| ) |; 1)"},
       false,
       {"■全体の括弧数チェック", "括弧数= 2 : 2", "行数= 2, 関数= 1",
        "全体での括弧数は一致しています．"},
       nullptr,
       0},
      {"first line never balances",
       {"(defun a ()", "  (princ)", "  (setq x 1)"},
       true,
       {"■括弧数不一致", "※(defun から次の (defun 直前まで", "・行範囲 = 1～3", "　括弧数 = 4 > 3",
        "　範囲内にある関数 = a "},
       "括弧数 = 4 > 3, 上からの最終一致行 = 1\nこれより下の行で括弧数が一致していません，\n"
       "1 行へジャンプしますか？",
       1},
      {"indented defun found by the whole-file search",
       {"(setq a 1)", "  (defun f ()", "  (g)"},
       true,
       {},
       "括弧数 = 4 > 3, 上からの最終一致行 = 1\nこれより下の行で括弧数が一致していません，\n"
       "(defun f ) 内か、それより上の 2 行までで一致していない可能性があります．\n"
       "(defun f ) へジャンプしますか？",
       2},
      {"text before the first defun",
       {"(setq a (list 1)", "(defun f () 1)"},
       false,
       {"■括弧数不一致", "※(defun から次の (defun 直前まで", "・行範囲 = 1～1", "　括弧数 = 2 > 1"},
       "括弧数 = 4 > 3, 上からの最終一致行 = 1\nこれより下の行で括弧数が一致していません，\n"
       "(defun f ) 内か、それより上の 2 行までで一致していない可能性があります．",
       0},
      {"close in excess, no editor, no name",
       {"(setq a 1))", "(setq b 2)"},
       false,
       {},
       "括弧数 = 2 < 3, 下からの最終一致行 = 2\nこれより上の行で括弧数が一致していません．",
       0},
      {"close in excess, editor, no name",
       {"(setq a 1))", "(setq b 2)"},
       true,
       {},
       "括弧数 = 2 < 3, 下からの最終一致行 = 2\nこれより上の行で括弧数が一致していません，\n"
       "2 行へジャンプしますか？",
       2},
      {"close in excess, defun above",
       {"(defun f ()", "  (g))", "  )", "(setq b 2)", ""},
       true,
       {"■括弧数不一致", "※(defun から次の (defun 直前まで", "・行範囲 = 1～5", "　括弧数 = 4 < 5",
        "　範囲内にある関数 = f "},
       "括弧数 = 4 < 5, 下からの最終一致行 = 4\nこれより上の行で括弧数が一致していません，\n"
       "(defun f ) 内か、それより下の 3 行までで一致していない可能性があります．\n"
       "(defun f ) へジャンプしますか？",
       1},
      {"close in excess, defun above, no editor",
       {"(defun f ()", "  (g))", "  )", "(setq b 2)"},
       false,
       {"■括弧数不一致", "※(defun から次の (defun 直前まで", "・行範囲 = 1～4", "　括弧数 = 4 < 5",
        "　範囲内にある関数 = f "},
       "括弧数 = 4 < 5, 下からの最終一致行 = 4\nこれより上の行で括弧数が一致していません．\n"
       "(defun f ) 内か、それより下の 3 行までで一致していない可能性があります．",
       0},
      {"only an empty line",
       {""},
       false,
       {"■全体の括弧数チェック", "括弧数= 0 : 0", "行数= 1, 関数= 0",
        "全体での括弧数は一致しています．"},
       nullptr,
       0},
  };
  for (const Case& c : cases) {
    ParenResult r = parenBalanceCheck(lines(c.source), c.editor, nullptr);
    EXPECT_EQ(shown(r.panel), c.panel) << c.what;
    EXPECT_EQ(r.balanced, c.message == nullptr) << c.what;
    ASSERT_EQ(r.message.has_value(), c.message != nullptr) << c.what;
    if (!r.message) continue;
    EXPECT_EQ(utf8(r.message->text), c.message) << c.what;
    EXPECT_EQ(r.message->question, c.editor) << c.what;
    EXPECT_EQ(r.message->jumpLine, c.jumpLine) << c.what;
  }
}

TEST(ParenBalanceCheck, EmptySourceShowsNothing) {
  NullProgress bar;
  ParenResult r = parenBalanceCheck({}, true, &bar);
  EXPECT_TRUE(r.panel.empty());
  EXPECT_FALSE(r.message);
  EXPECT_TRUE(r.balanced);
}

TEST(CountParens, Ranges) {
  const TextList l = lines({"((", "", ")"});
  struct Case {
    int first, last;
    bool ok;
    long long open, close;
  };
  const Case cases[] = {{0, 2, true, 2, 1},   {0, 99, true, 2, 1}, {1, 1, true, 0, 0},
                        {-1, 2, false, 0, 0}, {2, 1, false, 0, 0}, {3, 5, false, 0, 0}};
  for (const Case& c : cases) {
    long long open = 9, close = 9;
    EXPECT_EQ(countParens(l, c.first, c.last, open, close), c.ok) << c.first << ".." << c.last;
    EXPECT_EQ(open, c.open);
    EXPECT_EQ(close, c.close);
  }
}

}  // namespace
}  // namespace nokari
