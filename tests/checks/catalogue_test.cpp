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
      // A block may begin on the first line of the file.
      {{";; a", "(defun f ()"}, 1, "   a", 0},
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
  EXPECT_EQ(utf8(makeLspIndex(source, u"C:\\work\\lisp/demo.lsp", u"2026/12/09 12:34:56", &bar)),
            expected);
  EXPECT_EQ(bar.position(), 0);
}

TEST(MakeLspIndex, NothingWithoutFunctions) {
  EXPECT_TRUE(makeLspIndex({}, u"a.lsp", u"t", nullptr).empty());
  EXPECT_TRUE(makeLspIndex(lines({"(setq a 1)", "(defun f ("}), u"a.lsp", u"t", nullptr).empty());
}

}  // namespace
}  // namespace nokari
