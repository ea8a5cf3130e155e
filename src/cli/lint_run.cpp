#include "cli/lint_run.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <system_error>
#include <thread>

#include "app/source_loading.h"
#include "checks/lint.h"
#include "cli/lint_categories.h"
#include "platform/cli_args.h"

namespace nokari {

namespace {

bool isLspName(const Text& name) {
  return name.size() >= 4 &&
         upperAscii(std::u16string_view(name).substr(name.size() - 4)) == u".LSP";
}

LintFile input(const Text& path, std::optional<Text> error = std::nullopt) {
  LintFile f;
  f.path = path;
  f.error = std::move(error);
  return f;
}

class FolderWalk {
 public:
  FolderWalk(const FolderAccess& folders, std::vector<LintFile>& out)
      : folders_(folders), out_(out) {}

  void walk(const Text& folder, FolderListing listing) {
    chain_.push_back(folder);
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    for (const FolderEntry& e : listing.entries) {
      const Text path = joinPath(folder, e.name);
      if (!e.folder) {
        if (isLspName(e.name)) out_.push_back(input(path));
        continue;
      }
      // A mount or a link the platform cannot tell from a folder may lead back up.
      if (std::any_of(chain_.begin(), chain_.end(),
                      [&](const Text& up) { return folders_.same && folders_.same(path, up); }))
        continue;
      FolderListing below = folders_.list(path);
      if (below.status == FolderListing::Listed) {
        walk(path, std::move(below));
      } else if (below.status == FolderListing::Failed) {
        out_.push_back(input(path, below.error));
      }
    }
    chain_.pop_back();
  }

 private:
  const FolderAccess& folders_;
  std::vector<LintFile>& out_;
  std::vector<Text> chain_;  // the folders being walked, the argument first
};

void lintOne(LintFile& file, const LintSetup& setup) {
  LoadedSource loaded = loadSourceLines(file.path, *setup.files, *setup.ansi);
  if (!loaded.ok) {
    file.error = std::move(loaded.error);
    return;
  }
  file.encoding = loaded.encoding;
  LintResult r = lintSource(loaded.lines, *setup.exclusions, *setup.builtins,
                            setup.oneProgram ? &file.part : nullptr);
  loaded.lines = Lines();
  for (Finding& f : r.findings) {
    const std::optional<size_t> category = lintCategoryIndex(f.category);
    if (category && !setup.shown[*category]) continue;
    file.findings.push_back(std::move(f));
  }
}

// What the exit status and the warnings need of a file's findings, before they are let go.
void count(LintFile& file) {
  file.findingCount = file.findings.size();
  file.categoryCounts.assign(lintCategories().size(), 0);
  file.unbalanced = false;
  for (const Finding& f : file.findings) {
    if (const std::optional<size_t> category = lintCategoryIndex(f.category))
      ++file.categoryCounts[*category];
    if (std::string_view(f.category) == "unbalanced-parens" && f.name == u"(whole file)")
      file.unbalanced = true;
  }
}

void failed(LintFile& file, Text reason) {
  file.findings = Findings();
  file.findingCount = 0;
  file.categoryCounts.clear();
  file.unbalanced = false;
  file.rendered.clear();
  file.part = ProgramPart();
  file.failure = "cannot check";
  file.error = std::move(reason);
}

// Runs step on every file, on up to jobs threads. A thread must not end the program: step
// keeps whatever goes wrong with its file.
void eachFile(std::vector<LintFile>& files, unsigned jobs,
              const std::function<void(LintFile&)>& step) {
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next++) < files.size();) step(files[i]);
  };
  std::vector<std::thread> threads;
  const size_t helpers = std::min<size_t>(std::max(jobs, 1u), files.size()) - 1;
  for (size_t t = 0; t < helpers; ++t) {
    // A system that will not start another thread gets the work done on fewer.
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    }
  }
  work();
  for (std::thread& t : threads) t.join();
}

// Runs step on file; what goes wrong makes it a file that could not be checked.
template <class Step>
bool attempt(LintFile& file, Step step) {
  try {
    step();
    return true;
  } catch (const std::bad_alloc&) {
    failed(file, u"not enough memory");
  } catch (const std::exception& e) {
    failed(file, fromUtf8(e.what()));
  }
  return false;
}

void lintSafely(LintFile& file, const LintSetup& setup) {
  if (!file.error) attempt(file, [&] { lintOne(file, setup); });
}

// A file whose rendering failed is rendered again as one that could not be checked.
void renderSafely(LintFile& file, const std::function<void(LintFile&)>& render) {
  if (!attempt(file, [&] { render(file); })) attempt(file, [&] { render(file); });
}

}  // namespace

std::vector<LintFile> lintInputs(const std::vector<Text>& args, const FolderAccess& folders,
                                 std::string& warnings) {
  std::vector<LintFile> out;
  for (const Text& arg : args) {
    FolderListing listing = folders.list ? folders.list(arg) : FolderListing{};
    if (listing.status == FolderListing::NotAFolder) {
      out.push_back(input(arg));
    } else if (listing.status == FolderListing::Failed) {
      out.push_back(input(arg, listing.error));
    } else {
      const size_t before = out.size();
      FolderWalk(folders, out).walk(arg, std::move(listing));
      if (out.size() == before)
        warnings += "nokari-check: warning: no .lsp file in " + argumentBytes(arg) + "\n";
    }
  }
  return out;
}

void lintFiles(std::vector<LintFile>& files, const LintSetup& setup, unsigned jobs,
               const std::function<void(LintFile&)>& render) {
  if (files.empty()) return;
  auto finish = [&](LintFile& file) {
    count(file);
    renderSafely(file, render);
  };
  if (!setup.oneProgram && !setup.maxResults) {
    eachFile(files, jobs, [&](LintFile& file) {
      lintSafely(file, setup);
      finish(file);
    });
    return;
  }
  eachFile(files, jobs, [&](LintFile& file) { lintSafely(file, setup); });
  if (setup.oneProgram) {
    LintProgram program;
    for (const LintFile& file : files)
      if (!file.error) program.add(file.part);
    eachFile(files, jobs, [&](LintFile& file) {
      if (!file.error) attempt(file, [&] { program.settle(file.findings); });
    });
  }
  if (setup.maxResults) {
    size_t room = *setup.maxResults;
    for (LintFile& file : files) {
      if (file.findings.size() > room) file.findings.resize(room);
      room -= file.findings.size();
    }
  }
  eachFile(files, jobs, finish);
}

}  // namespace nokari
