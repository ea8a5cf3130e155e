#include "source/decode.h"

#include <gtest/gtest.h>

#include "platform/collate.h"
#include "platform/files.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::utf8;

TEST(DecodeSource, PicksEncodingAndSplitsLines) {
  auto cp932 = makeCodePage(932);
  struct Case {
    std::string bytes;
    const char* label;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"(a)\r\n(b)\n(c)\r(d)", "UTF8", {"(a)", "(b)", "(c)", "(d)"}},
      {"x\n", "UTF8", {"x"}},
      {"x\n\n", "UTF8", {"x", ""}},
      {"\r\n", "UTF8", {""}},
      // A CR before a CR LF and an LF before a CR end lines of their own.
      {"a\r\r\nb\n\rc\r", "UTF8", {"a", "", "b", "", "c"}},
      {"", "UTF8", {}},
      {"\xEF\xBB\xBF(a)\r\n", "UTF8", {"(a)"}},
      {"\xE6\xBC\xA2\xE5\xAD\x97", "UTF8", {"漢字"}},
      // Shift-JIS is not valid UTF-8: the ANSI code page takes over.
      {"\x8A\xBF\x8E\x9A\n", "ANSI", {"漢字"}},
      {std::string("\xFF\xFE(\0a\0)\0\r\0\n\0\x22\x6F", 14), "UTF8", {"(a)", "漢"}},
      {std::string("\xFE\xFF\0(\0b\0)", 8), "UTF8", {"(b)"}},
      // Overlong, surrogate and out-of-range forms are not UTF-8.
      {"\xC0\xAF", "ANSI", {}},
      {"\xED\xA0\x80", "ANSI", {}},
      {"\xF4\x90\x80\x80", "ANSI", {}},
      {"abc\xE3\x81", "ANSI", {}},
      // A UTF-8 mark keeps UTF-8 even with a broken sequence in the text.
      {"\xEF\xBB\xBF"
       "a\xFF",
       "UTF8",
       {"a\xEF\xBF\xBD"}},
  };
  for (const Case& c : cases) {
    DecodedSource d = decodeSource(c.bytes, *cp932);
    EXPECT_STREQ(encodingLabel(d.encoding), c.label) << c.bytes;
    if (!c.lines.empty() || std::string(c.label) == "UTF8") {
      EXPECT_EQ(utf8(d.lines), c.lines) << c.bytes;
    }
  }
}

TEST(Text, ConversionsAndHelpers) {
  EXPECT_EQ(toUtf8(fromUtf8("a漢😀")), "a漢😀");
  EXPECT_EQ(fromUtf8("😀").size(), 2u);
  Text lone = u"a";
  lone += static_cast<char16_t>(0xD800);
  EXPECT_EQ(toUtf8(lone), "a\xEF\xBF\xBD");
  EXPECT_EQ(utf8(trim(u"\t  x y \r\n")), "x y");
  EXPECT_EQ(utf8(upperAscii(fromUtf8("abcXYZ;ä"))), "ABCXYZ;ä");
  struct IntCase {
    const char* text;
    int value;
  };
  const IntCase ints[] = {{"12", 12},
                          {"-3", -3},
                          {"+4", 4},
                          {"", -1},
                          {"1x", -1},
                          {" 1", -1},
                          {"2147483647", 2147483647},
                          {"2147483648", -1},
                          {"-2147483648", -2147483647 - 1},
                          {"-", -1}};
  for (const IntCase& c : ints) EXPECT_EQ(parseIntOr(fromUtf8(c.text), -1), c.value) << c.text;
  EXPECT_LT(compareTextIgnoreCase(u"abc", u"ABD"), 0);
  EXPECT_EQ(compareTextIgnoreCase(u"Foo", u"fOO"), 0);
  EXPECT_LT(compareTextIgnoreCase(u"ab", u"abc"), 0);
}

// File names and arguments on POSIX: any bytes survive the trip through Text, and report text
// made from them reads as it always has (one U+FFFD per byte that is not UTF-8).
TEST(Text, Utf8EscapedKeepsEveryByte) {
  struct Case {
    std::string bytes;
    Text text;
  };
  const Case cases[] = {
      {"abc", u"abc"},
      {"\xE6\xBC\xA2", u"漢"},
      {"\x8A\xBF\x8E\x9A", u"\xDC8A\xDCBF\xDC8E\xDC9A"},
      {"a\xE3\x81", u"a\xDCE3\xDC81"},
      {"\xED\xB2\x80", u"\xDCED\xDCB2\xDC80"},
      {"\xC0\xAF\xF0\x9F\x98\x80", u"\xDCC0\xDCAF😀"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fromUtf8Escaped(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(toUtf8Escaped(c.text), c.bytes) << c.bytes;
    EXPECT_EQ(toUtf8(fromUtf8Escaped(c.bytes)), toUtf8(fromUtf8(c.bytes))) << c.bytes;
  }
  // A lone surrogate that stands for no byte is still a replacement character.
  EXPECT_EQ(toUtf8Escaped(u"\xD800-\xDC7F"), "\xEF\xBF\xBD-\xEF\xBF\xBD");
}

// CP932 reads and writes the single bytes that glibc's table lacks as Windows does.
TEST(CodePage932, SingleBytesAsWindows) {
  auto cp932 = makeCodePage(932);
  struct Case {
    std::string bytes;
    Text text;
  };
  const Case cases[] = {
      {"\x80", u"\u0080"},
      {"\xA0", u"\uF8F0"},
      {"\xFD", u"\uF8F1"},
      {"\xFE", u"\uF8F2"},
      {"\xFF", u"\uF8F3"},
      {"a\x80\x82\xA0\xFFz", u"a\u0080あ\uF8F3z"},
      {"\x8A\xBF\xA0\x8E\x9A", u"漢\uF8F0字"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cp932->decode(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(cp932->encode(c.text), c.bytes) << c.bytes;
  }
  // Other bytes and characters without a counterpart stay as they were.
  EXPECT_EQ(cp932->decode("\x81"), u"\uFFFD");
  EXPECT_EQ(cp932->encode(u"a\uF8F4"), std::nullopt);
}

}  // namespace
}  // namespace nokari
