#include "editor/panel_navigation.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace nokari {
namespace {

using test::lines;

TEST(PanelNavigation, LineNumbers) {
  const std::pair<const char16_t*, int> cases[] = {
      {u"123|", 123}, {u" 7 ", 7},         {u"|12|", 12}, {u"0", 0},
      {u"-5", 0},     {u"+5", 0},          {u"12a", 0},   {u"", 0},
      {u"|", 0},      {u"99999999999", 0}, {u"1 2", 0},   {u"2147483647", 2147483647},
  };
  for (const auto& [text, number] : cases)
    EXPECT_EQ(lineNumberIn(text), number) << toUtf8(Text(text));
}

TEST(PanelNavigation, WidenToName) {
  struct Case {
    const char16_t* line;
    size_t start, length;  // as the text box selected it
    const char16_t* name;  // the widened text
  };
  const Case cases[] = {
      {u"  12| (setq foo (bar x))", 12, 3, u"foo"},  // whole word selected
      {u"  12| (setq foo (bar x))", 13, 1, u"foo"},  // a part widens both ways
      {u"  12| (setq foo (bar x))", 17, 3, u"bar"},  // stops at ")" and "("
      {u"(foo)", 1, 3, u"foo"},                      // a name before ")"
      {u"foo bar", 0, 4, u"foo "},                   // ends on a space: no growth right
      {u"foo   ", 3, 3, u"foo   "},                  // blanks widen left over the word
      {u"a/b|c:go", 4, 1, u"c:go"},                  // "/" and "|" stop, ":" does not
      {u"\tfoo\tbar", 2, 0, u"\tfoo\tbar"},          // tabs are part of a name
      {u"foo", 3, 0, u"foo"},                        // caret at the end of the line
      {u"", 0, 0, u""},
      {u"(x)", 1, 0, u"x"},  // caret before a name
      {u"( )", 1, 1, u" "},
  };
  for (const Case& c : cases) {
    const std::u16string_view line(c.line);
    const LineSpan span = widenToName(line, {c.start, c.length});
    EXPECT_EQ(toUtf8(Text(line.substr(span.start, span.length))), toUtf8(Text(c.name)))
        << toUtf8(Text(c.line)) << " " << c.start << "+" << c.length;
  }
}

TEST(PanelNavigation, NamesToLines) {
  const TextList source = lines({
      "(defun foo (a b) (bar a))",           // 1
      "(defun c:go () (defun inner () 1))",  // 2
      "; (baz 1)",                           // 3
      "(setq s \"(baz 2)\")",                // 4
      "(Baz 3)",                             // 5
      "(defun zero () 0)",                   // 6
  });
  const FuncTree tree = makeFuncTree(source, nullptr);
  struct Case {
    const char16_t* name;
    int definition, call;
  };
  const Case cases[] = {
      {u"FOO", 1, 0},  {u"c:go", 2, 0}, {u"inner", 0, 0},  // nested ones are not matched
      {u"bar", 0, 1},  {u"baz", 0, 5},                     // comments and strings skipped
      {u"foo)", 0, 0}, {u"", 0, 0},     {u"  ", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(definitionLine(tree, c.name), c.definition) << toUtf8(Text(c.name));
    EXPECT_EQ(firstCallLine(source, c.name), c.call) << toUtf8(Text(c.name));
  }
}

}  // namespace
}  // namespace nokari
