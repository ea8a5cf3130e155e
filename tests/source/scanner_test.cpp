#include "source/scanner.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace nokari {
namespace {

using test::lines;
using test::utf8;

TEST(StripComments, RemovesCommentsAndStrings) {
  struct Case {
    std::initializer_list<const char*> source;
    std::vector<std::string> code;
  };
  const Case cases[] = {
      {{"(princ \"a;b\") ; note"}, {"(princ ) "}},
      {{"(setq s \"He said \\\"hi\\\"\")"}, {"(setq s )"}},
      {{"(setq p \"C:\\\\\")"}, {"(setq p )"}},
      // A string running over three lines leaves the middle line empty.
      {{"(a \"one", "two", "three\" b)"}, {"(a ", "", " b)"}},
      {{"(a) ;| block", "still comment |; (b)"}, {"(a) ", " (b)"}},
      // Inside a block comment only "|;" counts: a ";" or a quote there is comment too.
      {{";| open", "x ; y |; z", "|; (c)"}, {"", " z", "|"}},
      {{";| it\"s |; (d)", "(e)"}, {" (d)", "(e)"}},
      {{"x|;y"}, {"x|"}},
      {{";|;x|; y"}, {" y"}},
      // In a string a backslash escapes the next character, a backslash too.
      {{"(a \"x\\\\\\\"y\" b) (c \"\\\\\" d)"}, {"(a  b) (c  d)"}},
      {{"(a \"end\\", "\"still\" b)"}, {"(a ", " b)"}},
      {{"(defun\tf ()\t1)"}, {"(defun f () 1)"}},
      {{"\"\\\\\" ; gone"}, {" "}},
      {{"(a ;|x|; b)"}, {"(a  b)"}},
      {{"\"abc", "de\"f;g"}, {"", "f"}},
  };
  for (const Case& c : cases) {
    Lines code;
    NullProgress bar;
    stripComments(lines(c.source), code, &bar, 30);
    EXPECT_EQ(utf8(code), c.code) << utf8(lines(c.source)[0]);
  }
}

TEST(StripComments, EmptySourceResetsProgress) {
  Lines code;
  NullProgress bar;
  bar.setPosition(42);
  stripComments({}, code, &bar, 30);
  EXPECT_TRUE(code.empty());
  EXPECT_EQ(bar.position(), 0);
}

// Counts each position the stage sets, to check the stepping rule.
class RecordingProgress : public Progress {
 public:
  int position() const override { return pos_; }
  void setPosition(int p) override {
    pos_ = p;
    seen.push_back(p);
  }
  std::vector<int> seen;

 private:
  int pos_ = 0;
};

TEST(StripComments, StageProgressSteps) {
  struct Case {
    size_t lines;
    int steps;
    int start;
    int peak;
  };
  const Case cases[] = {
      {10, 30, 0, 10},                                       // step 0 -> 1: every line advances
      {100, 30, 0, 34},                                      // step 3: lines 0,3,...,99
      {60, 30, 0, 30},  {500, 1, 0, 1}, {300, 80, 95, 100},  // clamps at the top
  };
  for (const Case& c : cases) {
    TextList src(c.lines, u"x");
    Lines code;
    RecordingProgress bar;
    bar.setPosition(c.start);
    bar.seen.clear();
    stripComments(src, code, &bar, c.steps);
    ASSERT_GE(bar.seen.size(), 2u);
    EXPECT_EQ(bar.seen[bar.seen.size() - 2], c.peak) << c.lines << "/" << c.steps;
    EXPECT_EQ(bar.seen.back(), 0);
  }
}

TEST(GetDefunParams, ReadsArgumentNames) {
  struct Case {
    std::initializer_list<const char*> code;
    int line, col;
    const char* params;
  };
  const Case cases[] = {
      {{"(defun c:go ()"}, 0, 0, ""},
      {{"(defun f (a b / c d)"}, 0, 0, "a\r\nb\r\n"},
      {{"(defun f (", "a b", "/ c)"}, 0, 0, "a\r\nb\r\n"},
      {{"(defun f ((a))"}, 0, 0, ""},
      {{"  (defun g (x)"}, 0, 2, "x\r\n"},
      {{"(defun f (", "", "a", "b)"}, 0, 0, "a\r\nb\r\n"},
      {{"(defun f (a", "b c)"}, 0, 0, "a\r\nb\r\nc\r\n"},
      {{"(defun f (/ a)"}, 0, 0, ""},
      {{"(defun f (a)"}, 5, 0, ""},
      {{"(defun f"}, 0, 0, ""},
      {{"(defun f (", ""}, 0, 0, ""},
      // The list's first line is the end of its opening line, then the next non-empty one.
      {{"(x) (defun f (", "", "a)"}, 0, 4, "a\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8(getDefunParams(lines(c.code), c.line, c.col)), c.params)
        << utf8(lines(c.code)[0]);
  }
}

TEST(SplitCommaText, SplitsAtCommasAndBlanks) {
  struct Case {
    const char* text;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"foo ,         ,12,0,20,1", {"foo", "", "12", "0", "20", "1"}},
      {"a b", {"a", "b"}},
      {"", {}},
      {"   ", {}},
      {"a,", {"a", ""}},
      {"a, ,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {"\"x,y\",z", {"x,y", "z"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"\"open", {"open"}},
      {"a\tb", {"a", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8(splitCommaText(fromUtf8(c.text))), c.items) << c.text;
}

TEST(SplitCommaText, NulEndsTheText) {
  Text t = u"a,b";
  t += u'\0';
  t += u"c";
  EXPECT_EQ(utf8(splitCommaText(t)), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace nokari
