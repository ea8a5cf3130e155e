#include "checks/exclusion_list.h"

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "test_util.h"
#include "platform/collate.h"

namespace nokari {
namespace {

using test::FakeFiles;
using test::Latin1CodePage;
using test::utf8;

const Text kFolder = u"/opt/nokari";
const Text kPath = joinPath(kFolder, kExclusionFileName);

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

TEST(LoadExclusionList, EncodingsAndFailures) {
  struct Case {
    const char* what;
    std::string bytes;
    bool unreadable;
    ListFileRead::Status status;
    const char* extra;  // the one entry beyond the defaults, or ""
  };
  const Case cases[] = {
      {"utf-8 bom",
       "\xEF\xBB\xBF"
       "\xC3\xA9t\xC3\xA9\r\n",
       false, ListFileRead::Read, "été"},
      {"utf-16 le",
       std::string("\xFF\xFE"
                   "a\0b\0\r\0\n\0",
                   10),
       false, ListFileRead::Read, "ab"},
      {"utf-16 be", std::string("\xFE\xFF\0x\0y", 6), false, ListFileRead::Read, "xy"},
      // Without a byte-order mark the ANSI code page reads it, valid UTF-8 or not.
      {"ansi", "\xC3\xA9", false, ListFileRead::Read, "Ã©"},
      {"unreadable", "zz", true, ListFileRead::Unreadable, ""},
      {"binary", std::string("\0\x01\xFF\n\0", 5), false, ListFileRead::Read, "ÿ"},
  };
  for (const Case& c : cases) {
    FakeFiles files;
    files.put(kPath, c.bytes);
    if (c.unreadable) files.unreadable.insert(kPath);
    ListFileRead read;
    const ExclusionList list = loadExclusionList(files, kFolder, Latin1CodePage(), &read);
    EXPECT_EQ(read.status, c.status) << c.what;
    const size_t extra = *c.extra ? 1 : 0;
    ASSERT_EQ(list.entries().size(), 57 + extra) << c.what;
    if (extra) {
      EXPECT_TRUE(list.contains(fromUtf8(c.extra))) << c.what;
    }
    EXPECT_EQ(read.error.empty(), !c.unreadable) << c.what;
  }
  FakeFiles none;
  ListFileRead read;
  EXPECT_EQ(loadExclusionList(none, kFolder, Latin1CodePage(), &read).entries().size(), 57u);
  EXPECT_EQ(read.status, ListFileRead::Missing);
}

}  // namespace
}  // namespace nokari
