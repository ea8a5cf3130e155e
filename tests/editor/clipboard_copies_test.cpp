#include "editor/clipboard_copies.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;

TEST(ClipboardCopies, CallTemplate) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"foo (a b)", u"(foo a b)"},
      {u"foo (a b / c)", u"(foo a b / c)"},
      {u"foo ()", u"(foo)"},
      {u"C:FOO", u"C:FOO"},
      {u"bar", u"(bar"},
      {u"xc:y (a)", u"xc:y (a)"},
  };
  for (const auto& [node, call] : cases) EXPECT_EQ(utf8(callTemplate(node)), utf8(Text(call)));
}

TEST(ClipboardCopies, FunctionText) {
  const TextList source = lines({
      ";; top of the file",  // 1: a block reaching line 1 is not taken
      "(defun first (a) a",  // 2
      ")",                   // 3
      "",                    // 4
      ";; adds",             // 5
      ";; two numbers",      // 6
      "(defun add (a b)",    // 7
      "  (+ a b))",          // 8
      "(defun one () 1)",    // 9: opens and closes on one line
      "(defun C:Go ()",      // 10
      "  (defun inner (x)",  // 11
      "    x)",              // 12
      "  (princ))",          // 13
  });
  struct NodeInput {
    int level;
    const char16_t* text;
    int line;
  };
  struct Case {
    NodeInput input;
    const char* parentText;  // for a nested node
    std::optional<std::string> copied;
  };
  const Case cases[] = {
      {{1, u"add (a b)", 7},
       nullptr,
       ";; adds\r\n;; two numbers\r\n(defun add (a b)\r\n  (+ a b))\r\n"},
      {{1, u"first (a)", 2}, nullptr, "(defun first (a) a\r\n)\r\n"},
      {{1, u"one ()", 9}, nullptr, std::nullopt},
      {{1, u"C:Go", 10},
       nullptr,
       "(defun C:Go ()\r\n  (defun inner (x)\r\n    x)\r\n  (princ))\r\n"},
      {{1, u"c:go", 10}, nullptr, std::nullopt},  // letter case counts
      {{2, u"inner", 11}, "C:Go", "  (defun inner (x)\r\n    x)\r\n"},
      {{1, u"gone (a)", 7}, nullptr, std::nullopt},
  };
  for (const Case& c : cases) {
    TreeNode node, parent;
    node.level = c.input.level;
    node.text = c.input.text;
    node.line = c.input.line;
    parent.level = 1;
    parent.text = c.parentText ? fromUtf8(c.parentText) : Text();
    const auto text = functionText(source, node, c.parentText ? &parent : nullptr);
    EXPECT_EQ(text ? std::optional<std::string>(utf8(*text)) : std::nullopt, c.copied)
        << utf8(node.text);
  }
}

}  // namespace
}  // namespace nokari
