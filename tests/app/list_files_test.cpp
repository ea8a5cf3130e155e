#include "app/list_files.h"

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::FakeFiles;
using test::Latin1CodePage;

const Text kFolder = u"/opt/nokari";
const Text kPath = joinPath(kFolder, kExclusionFileName);

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
