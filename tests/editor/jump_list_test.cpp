#include "editor/jump_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/func_tree.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::lines;

// "TEXT:LINE ..." with the selected entry marked by a star.
std::string shown(const JumpList& list, int selected) {
  std::string out;
  for (size_t i = 0; i < list.entries().size(); ++i) {
    const JumpEntry& e = list.entries()[i];
    if (!out.empty()) out += ' ';
    out += (static_cast<int>(i) == selected ? "*" : "") + toUtf8(e.text) + ":" +
           std::to_string(e.line);
  }
  return out;
}

TEST(JumpList, Commands) {
  struct Case {
    const char* name;
    std::function<int(JumpList&)> act;  // on A:1 B:2 C:3; returns the selection after
    const char* after;
  };
  const Case cases[] = {
      {"add at the end",
       [](JumpList& l) {
         l.add(u"D (x)", 4);
         return -1;
       },
       "A:1 B:2 C:3 D (x):4"},
      {"same text, other case, not added",
       [](JumpList& l) {
         EXPECT_FALSE(l.add(u"b", 9));
         EXPECT_FALSE(l.insertAtTop(u"c", 9));
         return -1;
       },
       "A:1 B:2 C:3"},
      {"insert at the top",
       [](JumpList& l) {
         l.insertAtTop(u"Z", 7);
         return -1;
       },
       "Z:7 A:1 B:2 C:3"},
      {"up", [](JumpList& l) { return l.moveUp(2); }, "A:1 *C:3 B:2"},
      {"up on the first", [](JumpList& l) { return l.moveUp(0); }, "*A:1 B:2 C:3"},
      {"down", [](JumpList& l) { return l.moveDown(0); }, "B:2 *A:1 C:3"},
      {"down on the last", [](JumpList& l) { return l.moveDown(2); }, "A:1 B:2 *C:3"},
      {"down with no selection", [](JumpList& l) { return l.moveDown(-1); }, "A:1 B:2 C:3"},
      {"delete", [](JumpList& l) { return l.remove(1); }, "A:1 C:3"},
      {"delete with no selection", [](JumpList& l) { return l.remove(-1); }, "A:1 B:2 C:3"},
      {"drag down", [](JumpList& l) { return l.move(0, 2, 0); }, "B:2 C:3 *A:1"},
      {"drag up", [](JumpList& l) { return l.move(2, 0, 2); }, "*C:3 A:1 B:2"},
      {"drop on itself", [](JumpList& l) { return l.move(1, 1, 0); }, "A:1 *B:2 C:3"},
      {"drop below the last entry", [](JumpList& l) { return l.move(0, -1, 0); }, "*A:1 B:2 C:3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JumpList list;
    list.add(u"A", 1);
    list.add(u"B", 2);
    list.add(u"C", 3);
    const int selected = c.act(list);
    EXPECT_EQ(shown(list, selected), c.after);
  }
}

TEST(JumpList, RefreshAgainstTheRebuiltIndex) {
  const TextList before = lines({
      "(defun foo (a) a)",                 // 1
      "(defun bar () (defun inner () 1)",  // 2
      ")",                                 // 3
      "(defun c:go () (foo 1))",           // 4
  });
  struct Case {
    const char* name;
    TextList after;
    const char* entries;  // after the refresh
  };
  const Case cases[] = {
      {"lines inserted above",
       lines({"", "", "(defun foo (a) a)", "(defun bar () (defun inner () 1)", ")",
              "(defun c:go () (foo 1))"}),
       "foo (a):3 bar ():4 *C:GO:6"},
      {"renamed and deleted functions go", lines({"(defun foo2 (a) a)", "(defun c:go () 1)"}),
       "*C:GO:2"},
      {"a nested name now also top-level",
       lines({"(defun foo (a) a)", "(defun bar () (defun inner () 1)", ")", "(defun c:go () 1)",
              "(defun Inner () 2)"}),
       "foo (a):1 bar ():2 *C:GO:4 inner:5"},
      // "FOO,...,12,..." sorts before "FOO,...,5,...".
      {"two defuns of one name: the first in sorted order",
       lines({"(defun c:go () 1)", "", "", "", "", "(defun foo (a) a)", "", "", "", "", "", "",
              "(defun FOO (b) b)", "(defun bar () 1)"}),
       "foo (a):13 bar ():14 *C:GO:1"},
      {"no defun left: the old lines stay", lines({"(setq a 1)"}),
       "foo (a):1 bar ():2 *C:GO:4 inner:2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FuncIndex index;
    makeFuncTree(before, nullptr, &index);
    JumpList list;
    list.add(u"foo (a)", 1);
    list.add(u"bar ()", 2);
    list.add(u"C:GO", 4);
    list.add(u"inner", 2);  // taken from the nested node
    int selected = list.refresh(index, 2);
    EXPECT_EQ(shown(list, selected), "foo (a):1 bar ():2 *C:GO:4");
    list.add(u"inner", 2);
    makeFuncTree(c.after, nullptr, &index);
    selected = list.refresh(index, 2);
    EXPECT_EQ(shown(list, selected), c.entries);
  }
}

}  // namespace
}  // namespace nokari
