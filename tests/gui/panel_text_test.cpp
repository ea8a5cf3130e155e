#include "gui/panel_text.h"

#include <gtest/gtest.h>

#include <string>

namespace nokari {
namespace {

// "[from,to)" of a range, for short failure messages.
std::string range(std::pair<size_t, size_t> r) {
  return "[" + std::to_string(r.first) + "," + std::to_string(r.second) + ")";
}

TEST(PanelText, LinesOfEveryBreak) {
  PanelText t;
  t.assign(std::u16string_view(u"ab\r\ncd\ne\rf\r\r\n"));
  ASSERT_EQ(t.lineCount(), 6u);
  const char16_t* want[] = {u"ab", u"cd", u"e", u"f", u"", u""};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(t.line(i), std::u16string_view(want[i])) << i;
  // An offset between CR and LF belongs to the line before, and is kept off the break.
  EXPECT_EQ(t.lineOf(3), 0u);
  EXPECT_EQ(t.clamp(3), 2u);
  EXPECT_EQ(t.lineOf(4), 1u);
  EXPECT_EQ(t.next(2), 4u);
  EXPECT_EQ(t.previous(4), 2u);
  EXPECT_EQ(t.clamp(99), t.size());

  t.assign(TextList{u"one", u"", u"three"});
  EXPECT_EQ(t.whole(), u"one\r\n\r\nthree");
  EXPECT_EQ(t.lineStart(2), 7u);
  t.assign(TextList{});
  EXPECT_EQ(t.lineCount(), 1u);
  EXPECT_EQ(t.line(0), u"");
}

TEST(PanelText, WordsAndCharacters) {
  PanelText t;
  t.assign(TextList{u"  123| (setq a 1)", u"foo\tbar", u"x\U0001F600y", u""});
  struct Case {
    const char* what;
    size_t at;
    std::pair<size_t, size_t> want;
  };
  const Case cases[] = {
      {"a number with its bar and the blank after it", 3, {2, 7}},
      {"blanks before a word", 0, {0, 2}},
      {"a word with a parenthesis", 8, {7, 13}},
      {"the line's end points at its last character", 17, {15, 17}},
      {"a tab is a blank", 22, {22, 23}},
      {"an empty line", 34, {34, 34}},
  };
  for (const Case& c : cases) EXPECT_EQ(range(t.wordAt(c.at)), range(c.want)) << c.what;
  // A surrogate pair is one character.
  EXPECT_EQ(t.next(29), 31u);
  EXPECT_EQ(t.previous(31), 29u);
  EXPECT_EQ(t.clamp(30), 29u);
  EXPECT_EQ(t.nextWord(2), 7u);
  EXPECT_EQ(t.previousWord(13), 7u);
  EXPECT_EQ(t.previousWord(19), 17u);  // the start of its line, then the line before
}

TEST(PanelText, WidestLineCountsWideCharactersAndTabs) {
  PanelText t;
  t.assign(TextList{u"abcdef", u"\u5909\u6570\u30c1", u"a\tb"});
  EXPECT_EQ(t.widestLine(), 2u);  // 9 columns, against 6 and 6
  t.assign(TextList{u"abcde", u"\u5909\u6570\u30c1"});
  EXPECT_EQ(t.widestLine(), 1u);
}

}  // namespace
}  // namespace nokari
