#include "checks/lint.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;

// Each finding where it stands: "line:column-end category name", columns of the source lines.
TEST(LintSource, EachFindingAtItsOwnPlace) {
  struct Case {
    const char* category;
    std::initializer_list<const char*> source;
    const char* place;
  };
  const Case cases[] = {
      {"unbalanced-parens", {"(defun f ()", "  (g)"}, "1:1-7 unbalanced-parens f"},
      {"unbalanced-parens",
       {"  (setq a (b)", "(defun f () 1)"},
       "1:3-14 unbalanced-parens (top level)"},
      // The whole file's finding on its line's last character: a piece may start the line.
      {"unbalanced-parens",
       {"(defun f (/ a) (setq a \"x\")"},
       "1:27-28 unbalanced-parens (whole file)"},
      {"unused-argument", {"(defun f (a bb) a)"}, "1:13-15 unused-argument bb"},
      {"unused-local", {"(defun f (/ a", "   b) (setq a 1))"}, "2:4-5 unused-local b"},
      {"duplicate-local", {"(defun f (/ a a) (setq a 1))"}, "1:15-16 duplicate-local a"},
      {"global", {"(defun f ()", "  (princ \"(\") (setq gg 1))"}, "2:21-23 global gg"},
      {"global-read", {"(defun f ()", "  (princ gg))"}, "2:10-12 global-read gg"},
      {"nested-global", {"(defun f ()", " (defun g () (setq nn 1)))"}, "2:20-22 nested-global nn"},
      {"toplevel-global", {"(defun f () 1)", "(f)", "(setq tt 2)"}, "3:7-9 toplevel-global tt"},
      {"duplicate-function",
       {"(defun f () 1)", "(f)", " (defun  f () 2)"},
       "3:2-11 duplicate-function f"},
      {"undefined-function",
       {"(defun c:a ()", "  (\"x\" 1) (nowhere 1))"},
       "2:12-19 undefined-function nowhere"},
      {"unreferenced-function",
       {"(defun lonely", "  () 1)"},
       "1:1-14 unreferenced-function lonely"},
  };
  const BuiltinList builtins = BuiltinList::fromFileLines({u"princ", u"setq"});
  for (const Case& c : cases) {
    const LintResult r = lintSource(lines(c.source), ExclusionList::defaults(), builtins);
    std::vector<std::string> found;
    for (const Finding& f : r.findings) {
      if (std::string_view(f.category) != c.category) continue;
      found.push_back(std::to_string(f.line) + ":" + std::to_string(f.column) + "-" +
                      std::to_string(f.endColumn) + " " + f.category + " " + utf8(f.name));
    }
    std::string all;
    for (const std::string& f : found) all += f + "; ";
    EXPECT_NE(std::find(found.begin(), found.end(), c.place), found.end()) << all;
  }
}

}  // namespace
}  // namespace nokari
