#include "base/lines.h"

#include <gtest/gtest.h>

#include <functional>

#include "test_util.h"

namespace nokari {
namespace {

using test::utf8;

TEST(Lines, EveryWayOfMakingThemReadsTheSameLines) {
  const TextList expected = {u"(a)", u"", u"漢字 ;x"};
  auto written = [&](Lines& l) {
    for (const Text& t : expected)
      l.appendWritten(t.size() + 3, [&](char16_t* out) { return t.copy(out, t.size()); });
  };
  struct Case {
    const char* how;
    std::function<Lines()> make;
  };
  const Case cases[] = {
      {"from a list", [&] { return Lines(expected); }},
      {"from literals",
       [] {
         return Lines{u"(a)", u"", u"漢字 ;x"};
       }},
      {"split", [] { return Lines::split(u"(a)\r\n\n漢字 ;x\r"); }},
      {"pushed one by one, growing",
       [&] {
         Lines l;
         for (const Text& t : expected) l.push_back(t);
         return l;
       }},
      {"written in place, growing",
       [&] {
         Lines l;
         written(l);
         return l;
       }},
      {"written in place after reserve",
       [&] {
         Lines l;
         l.reserve(3, 100);
         written(l);
         return l;
       }},
      {"copied",
       [] {
         const Lines from = Lines::split(u"(a)\n\n漢字 ;x");
         return Lines(from);
       }},
      {"assigned after clear",
       [] {
         Lines l = Lines::split(u"old\nlines\n");
         l.clear();
         l.push_back(u"(a)");
         l.push_back(u"");
         l.push_back(u"漢字 ;x");
         return l;
       }},
      // A Lines moved from is empty and takes new lines.
      {"appended after a move",
       [] {
         Lines from = Lines::split(u"x\ny");
         Lines to = std::move(from);
         from.push_back(u"(a)");
         from.push_back(u"");
         from.push_back(u"漢字 ;x");
         return from;
       }},
  };
  for (const Case& c : cases) {
    const Lines lines = c.make();
    EXPECT_EQ(utf8(lines), utf8(expected)) << c.how;
    EXPECT_EQ(lines.size(), expected.size()) << c.how;
  }
  // A line given with a CR LF inside keeps it: panel lines are printed that way.
  EXPECT_EQ(utf8(Lines{u"a\r\nb", u"c"}), (std::vector<std::string>{"a\r\nb", "c"}));
}

}  // namespace
}  // namespace nokari
