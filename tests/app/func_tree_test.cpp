#include "app/func_tree.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;

// The tree as text: one node a line, indented by level, with its line and image.
std::vector<std::string> dump(const FuncTree& tree) {
  std::vector<std::string> out;
  for (const NodeRef& ref : treeOrder(tree)) {
    const TreeNode* n = nodeAt(tree, ref);
    out.push_back(std::string(n->level * 2, ' ') + utf8(n->text) + " " + std::to_string(n->line) +
                  "/" + std::to_string(n->image));
  }
  return out;
}

TEST(MakeFuncTree, GroupsAndNodes) {
  struct Case {
    std::initializer_list<const char*> source;
    std::vector<std::string> tree;
  };
  const Case cases[] = {
      {{"(defun c:draw (/ pt) 1)", "(defun area (w h / a) 2)", "(defun c:test (x) 3)"},
       {"Command 0/0", "  c:draw 1/1", "  c:test 3/1", "Function 0/0", "  area (w h) 2/1"}},
      {{"(defun C:only () 1)"}, {"Command 0/0", "  C:only 1/1", "Function 0/0"}},
      {{"(defun f () 1)"}, {"Command 0/0", "Function 0/0", "  f () 1/1"}},
      {{"; nothing here"}, {}},
      {{}, {}},
      // Nested functions sit only under their enclosing function.
      {{"(defun outer (x)", "  (defun inner (y) y)", "  (inner x))"},
       {"Command 0/0", "Function 0/0", "  outer (x) 1/1", "    inner 2/3"}},
      // Same name twice: each keeps its own line, the child goes to the one holding it.
      {{"(defun dup () 1)", "(defun dup ()", "  (defun kid () 2)", ")"},
       {"Command 0/0", "Function 0/0", "  dup () 1/1", "  dup () 2/1", "    kid 3/3"}},
      // A defun inside a one-line function is its child all the same.
      {{"(defun one () (defun two () 1))"},
       {"Command 0/0", "Function 0/0", "  one () 1/1", "    two 1/3"}},
      // Sorted by name regardless of case; parameters over two lines are joined.
      {{"(defun b (p", "  q / r) p)", "(defun A () 1)"},
       {"Command 0/0", "Function 0/0", "  A () 3/1", "  b (p q) 1/1"}},
  };
  for (const Case& c : cases) {
    NullProgress bar;
    EXPECT_EQ(dump(makeFuncTree(lines(c.source), &bar)), c.tree);
    EXPECT_EQ(bar.position(), 0);
  }
}

TEST(HeadingLines, CommentsAndHeader) {
  struct Case {
    std::initializer_list<const char*> source;
    int line;
    std::vector<std::string> panel;
  };
  const Case cases[] = {
      {{";; area of a rectangle", "(defun area (w h / a)", "  (* w h))"},
       2,
       {";; area of a rectangle", "(defun area (w h / ...)"}},
      {{";; far away", "", "(defun f (a) a)"}, 3, {"(defun f (a)"}},
      {{";;;;;;;;", "; ------", "; a", ";  real\ttext ", "(defun f (a) a)"},
       5,
       {";  real text", "(defun f (a)"}},
      {{"(defun f () (/ 1 2))"}, 1, {"(defun f () (/ ...)"}},
      {{"(defun foo(a)"}, 1, {"(defun foo (a)"}},
      {{"(defun c:go", "   (", "   x / y)"}, 1, {"(defun c:go", "(", "  x / ...)"}},
      {{"(defun g (a ; not / here", "  b)"}, 1, {"(defun g (a ; not / here", "  b)"}},
      {{"(x)"}, 0, {}},
      {{"(x)"}, 5, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(utf8(headingLines(lines(c.source), c.line)), c.panel) << *c.source.begin();
}

TEST(TreePlace, RestoresSelectionAndTop) {
  const TextList before =
      lines({"(defun c:a () 1)", "(defun f (x)", " (defun g () 1)", " 2)", "(defun h (y) 3)"});
  const FuncTree tree = makeFuncTree(before, nullptr);
  // Command(0): c:a ; Function(1): f (x) -> g ; h (y)
  struct Case {
    NodeRef selected, top;
    TextList after;
    NodeRef wantSel, wantTop;
  };
  const TextList moved = lines({"", "(defun h (y) 3)", "(defun f (x)", " (defun g () 1)", " 2)",
                                "(defun c:a () 1)", "(defun c:b () 1)"});
  const TextList changed = lines({"(defun c:a () 1)", "(defun f (x z)", " (defun g () 1)", " 2)"});
  const Case cases[] = {
      {{1, 0, -1}, {0, -1, -1}, before, {1, 0, -1}, {0, -1, -1}},
      {{1, 0, 0}, {1, 0, 0}, moved, {1, 0, 0}, {1, 0, 0}},
      {{1, 1, -1}, {0, 0, -1}, moved, {1, 1, -1}, {0, 0, -1}},
      // Arguments changed: the text differs, nothing is selected, the top may still move.
      {{1, 0, -1}, {1, -1, -1}, changed, {}, {1, -1, -1}},
      // Nothing selected before: nothing restored at all.
      {{}, {0, -1, -1}, before, {}, {}},
      // A group selected counts as nothing selected.
      {{0, -1, -1}, {0, -1, -1}, before, {}, {}},
  };
  for (const Case& c : cases) {
    TreePlace place = rememberPlace(tree, c.selected, c.top);
    RestoredPlace r = restorePlace(place, makeFuncTree(c.after, nullptr));
    EXPECT_EQ(r.selected, c.wantSel);
    EXPECT_EQ(r.top, c.wantTop);
  }
}

}  // namespace
}  // namespace nokari
