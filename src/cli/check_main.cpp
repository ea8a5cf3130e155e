// Entry point of nokari-check.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__GLIBC__) && defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#endif

#include "cli/check_cli.h"
#include "platform/cli_args.h"
#include "platform/folders.h"
#include "source/decode.h"

#if defined(__GLIBC__) && defined(__linux__)
namespace {

// A file's text, its lines and its code lines are written once each, page after page: with
// 4 KiB pages the faults on that fresh memory cost about as much as all of --tree's own work
// (a fault takes microseconds, more in a virtual machine). The heap's next 256 MiB are set
// aside in one step, which costs nothing until a page is written, and marked for transparent
// huge pages, so that one fault brings in 2 MiB. Where the system offers none the advice is
// ignored; a heap that grows past the mark grows as before.
void adviseHugeHeapPages() {
  constexpr size_t kHuge = 2u << 20;
  mallopt(M_TOP_PAD, 256 << 20);
  void* probe = std::malloc(1 << 20);  // more than the heap holds yet: it grows now
  if (!probe) return;
  const auto from = (reinterpret_cast<uintptr_t>(probe) + kHuge - 1) & ~uintptr_t{kHuge - 1};
  const auto to = reinterpret_cast<uintptr_t>(sbrk(0)) & ~uintptr_t{kHuge - 1};
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
  std::free(probe);
}

}  // namespace
#endif

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // Each file's text and lines (often above glibc's starting 128 KiB) would otherwise be mapped
  // and unmapped file after file, which costs a tenth of the lint mode's time; these are the
  // thresholds glibc grows to by itself once a large block has been freed.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#if defined(__linux__)
  adviseHugeHeapPages();
#endif
#endif
  nokari::prepareStdio();
  auto files = nokari::makeSystemFiles();
  nokari::CheckEnv env;
  env.files = files.get();
  env.codePage = nokari::makeCodePage;
  env.programFolder = nokari::programFolder();
  env.folders.list = nokari::listFolder;
  env.folders.same = nokari::sameFolder;
  // Both the files and the current folder are named where they lie, through any link.
  env.uriBase.currentFolder = nokari::currentFolder();
  if (nokari::Text real = nokari::realPath(env.uriBase.currentFolder); !real.empty())
    env.uriBase.currentFolder = real;
  env.uriBase.backslashSeparates = nokari::kBackslashSeparates;
  env.uriBase.resolve = nokari::realPath;
  env.cores = std::thread::hardware_concurrency();
  std::string out, err;
  int rc = nokari::runNokariCheck(nokari::commandLineArgs(argc, argv), env, out, err);
  // A report that did not reach its reader (a full disk, a closed descriptor) is a failure: the
  // tools that compare the output must not take a cut-off report for a good one.
  errno = 0;
  const bool written = std::fwrite(out.data(), 1, out.size(), stdout) == out.size() &&
                       std::fflush(stdout) == 0 && !std::ferror(stdout);
  if (!written) {
    const int writeErrno = errno;
    err += "nokari-check: cannot write the output";
    if (writeErrno != 0) err += std::string(": ") + std::strerror(writeErrno);
    err += "\n";
    rc = 2;
  }
  std::fwrite(err.data(), 1, err.size(), stderr);
  std::fflush(stderr);
  return rc;
}
