#include "checks/catalogue.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;
using Lines = std::vector<std::string>;

TEST(GetHeadComment, Blocks) {
  struct Case {
    std::initializer_list<const char*> source;
    int start;
    const char* comment;
    int first;
  };
  const Case cases[] = {
      {{"", ";; one", "  ; two", "(defun f ()"}, 3, "   one\r\n   two", 1},
      {{"(setq a 1)", "(defun f ()"}, 1, "", 1},
      {{";; a", "", "(defun f ()"}, 2, "", 2},
      {{"(defun f ()"}, 0, "", 0},
      // A block that runs up to the first line of the file is not taken.
      {{";; a", "(defun f ()"}, 1, "", 1},
      {{";; a", "  ;; b", ";", "(defun f ()"}, 3, "", 3},
      {{"", ";; a", "(defun f ()"}, 2, "   a", 1},
      {{" ", ";; a", "(defun f ()"}, 2, "   a", 1},
      {{"x", ";;; a;b", ";;;", "(defun f ()"}, 3, "   ab\r\n  ", 1},
  };
  for (const Case& c : cases) {
    int start = c.start;
    EXPECT_EQ(utf8(getHeadComment(lines(c.source), start)), c.comment) << *c.source.begin();
    EXPECT_EQ(start, c.first) << *c.source.begin();
  }
}

TEST(MakeLspIndex, Catalogue) {
  const TextList source = lines({
      "(setq x 1)",
      ";;;;;;;;;;;;;;;;;;",
      ";; Draws a border",
      ";;;;;;;;;;;;;;;;;;",
      "(defun C:TEST ()",
      "  (defun inner (q) q)",
      "  (princ))",
      "",
      "; -----",
      "; ==== Title ====",
      ";; ====",
      "(defun foo (a b / c) (setq c a))",
      "(defun foo () 2)",
      "(defun my-c:tool (x) x)",
  });
  const Lines expected = {
      "■ LISP関数カタログ ******************************",
      " ファイル : demo.lsp",
      " 作成日時 : 2026/12/09 12:34:56",
      "*********************************************** ■",
      std::string(50, '-'),
      "■ C:TEST ",
      "\tDraws a border",
      std::string(50, '-'),
      "□ foo a b",
      "\t==== Title ====",
      std::string(50, '-'),
      "□ foo ",
      std::string(50, '-'),
      "■ my-c:tool x",
  };
  NullProgress bar;
  EXPECT_EQ(utf8(makeCatalogue(source, u"C:\\work\\lisp/demo.lsp", u"2026/12/09 12:34:56", &bar)),
            expected);
  EXPECT_EQ(bar.position(), 0);
}

TEST(MakeLspIndex, CommentAtTheTopOfTheFile) {
  struct Case {
    const char* what;
    std::initializer_list<const char*> source;
    Lines entry;  // the lines after the header's rule
  };
  const Case cases[] = {
      {"block from the first line",
       {";; Draws a border", ";; twice", "(defun f ()", "  1)"},
       {std::string(50, '-'), "□ f "}},
      {"block below an empty first line",
       {"", ";; Draws a border", "(defun f ()", "  1)"},
       {std::string(50, '-'), "□ f ", "\tDraws a border"}},
      {"block below code",
       {"(setq a 1)", ";; Draws a border", "(defun f (x) x)"},
       {std::string(50, '-'), "□ f x", "\tDraws a border"}},
  };
  for (const Case& c : cases) {
    Lines panel = utf8(makeCatalogue(lines(c.source), u"a.lsp", u"t", nullptr));
    ASSERT_GE(panel.size(), 4u) << c.what;
    EXPECT_EQ(Lines(panel.begin() + 4, panel.end()), c.entry) << c.what;
  }
}

TEST(MakeLspIndex, NothingWithoutFunctions) {
  EXPECT_TRUE(makeCatalogue({}, u"a.lsp", u"t", nullptr).empty());
  EXPECT_TRUE(makeCatalogue(lines({"(setq a 1)", "(defun f ("}), u"a.lsp", u"t", nullptr).empty());
}

}  // namespace
}  // namespace nokari
