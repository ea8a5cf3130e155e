#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "platform/files.h"

namespace nokari {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void spit(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::set<std::string> namesIn(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.insert(e->d_name);
    closedir(d);
  }
  return names;
}

// Runs the body with files larger than a few bytes refused by the system.
template <typename Body>
void withFileSizeLimit(Body body) {
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  body();
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
}

TEST(PosixFiles, WriteReplaceKeepsTheOldFileOnEveryFailure) {
  char tmpl[] = "/tmp/nokari-files-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const auto files = makeSystemFiles();
  const std::string target = dir + "/Nokari.ini";
  struct Case {
    const char* name;
    std::function<void()> setup;
    std::string path;  // written through
    bool ok, readOnly;
    std::string targetAfter;
    mode_t modeAfter;  // 0: not checked
    bool limitSize = false;
  };
  const Case cases[] = {
      {"replaced, mode kept",
       [&] {
         spit(target, "old");
         chmod(target.c_str(), 0640);
       },
       target, true, false, "new content", 0640},
      {"through a link",
       [&] {
         spit(target, "old");
         symlink(target.c_str(), (dir + "/link").c_str());
       },
       dir + "/link", true, false, "new content", 0},
      {"read-only",
       [&] {
         spit(target, "old");
         chmod(target.c_str(), 0444);
       },
       target, false, true, "old", 0444},
      {"folder missing", [] {}, dir + "/none/Nokari.ini", false, false, "", 0},
      {"a folder in the way", [&] { mkdir(target.c_str(), 0755); }, target, false, false, "", 0},
      {"write fails half way", [&] { spit(target, "old"); }, target, false, false, "old", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::system(("rm -rf '" + dir + "'/*").c_str());
    c.setup();
    const auto before = namesIn(dir);
    WriteResult w;
    auto write = [&] { w = files->writeReplace(fromUtf8(c.path), "new content"); };
    if (c.limitSize) {
      withFileSizeLimit(write);
    } else {
      write();
    }
    EXPECT_EQ(w.ok, c.ok);
    EXPECT_EQ(w.readOnly, c.readOnly);
    EXPECT_EQ(w.error.empty(), c.ok);
    EXPECT_EQ(namesIn(dir), before) << "a file was left behind or removed";
    struct stat st {};
    if (!c.targetAfter.empty()) {
      EXPECT_EQ(slurp(target), c.targetAfter);
      ASSERT_EQ(stat(target.c_str(), &st), 0);
      if (c.modeAfter) {
        EXPECT_EQ(st.st_mode & 07777, c.modeAfter);
      }
    }
    if (std::string(c.name) == "through a link") {
      ASSERT_EQ(lstat((dir + "/link").c_str(), &st), 0);
      EXPECT_TRUE(S_ISLNK(st.st_mode));
    }
  }
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
}  // namespace nokari
