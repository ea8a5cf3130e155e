#include "checks/exclusion_list.h"

#include <gtest/gtest.h>

#include "platform/collate.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::utf8;

TEST(ExclusionList, DefaultsSorted) {
  const ExclusionList list = ExclusionList::defaults();
  const TextList& e = list.entries();
  ASSERT_EQ(e.size(), 57u);
  for (size_t i = 1; i < e.size(); ++i) EXPECT_LT(compareTextIgnoreCase(e[i - 1], e[i]), 0);
  EXPECT_EQ(utf8(e.front()), "*error*");
  for (const char* name : {"t", "NIL", "pi", "Pause", "ACWINDOW", ":VLAX-TRUE", "ac0degrees"})
    EXPECT_TRUE(list.contains(fromUtf8(name))) << name;
  for (const char* name : {"", "x", "vlax-vb", "acWindows"})
    EXPECT_FALSE(list.contains(fromUtf8(name))) << name;
}

TEST(ExclusionList, FileLinesAddNewNamesOnce) {
  struct Case {
    std::initializer_list<const char*> file;
    std::vector<std::string> added;
  };
  const Case cases[] = {
      {{"  myGlobal  ", "", "Pi"}, {"myGlobal"}},
      {{"MYVAR", "myvar", " MyVar\t"}, {"MYVAR"}},
      {{"a b", "c,d", "\t"}, {"a b", "c,d"}},
  };
  for (const Case& c : cases) {
    const ExclusionList list = ExclusionList::withFileLines(test::lines(c.file));
    std::vector<std::string> added;
    const ExclusionList defaults = ExclusionList::defaults();
    for (const Text& e : list.entries())
      if (!defaults.contains(e)) added.push_back(utf8(e));
    EXPECT_EQ(added, c.added) << *c.file.begin();
    EXPECT_EQ(list.entries().size(), 57 + c.added.size());
  }
  const ExclusionList list = ExclusionList::withFileLines({u"MYVAR"});
  EXPECT_TRUE(list.contains(u"myvar"));
  EXPECT_TRUE(list.contains(u"MyVar"));
}

}  // namespace
}  // namespace nokari
