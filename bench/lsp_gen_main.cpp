// lsp-gen: writes a synthetic AutoLISP file for trying the program on large inputs.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/lsp_gen.h"

namespace {

// About 300 MB of text: enough for any timing, small enough to hold in memory.
constexpr long long kMaxLines = 10000000;

const char kUsage[] =
    "usage: lsp-gen [--lines N] [--defuns N] [--nested F] [--comments F] [--strings F]\n"
    "               [--non-ascii F] [--lf | --crlf] [--encoding "
    "utf8|utf8-bom|utf16le|utf16be|sjis]\n"
    "               [--seed N] OUT\n"
    "  OUT '-' writes to standard output. Shares F are between 0 and 1.\n";

int usage(const char* problem, const char* what) {
  if (problem)
    std::fprintf(stderr, "lsp-gen: %s%s%s\n", problem, what ? ": " : "", what ? what : "");
  std::fputs(kUsage, stderr);
  return 2;
}

bool parseCount(const char* s, long long max, long long* out) {
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(s, &end, 10);
  if (errno || end == s || *end || v < 0 || v > max) return false;
  *out = v;
  return true;
}

bool parseShare(const char* s, double* out) {
  char* end = nullptr;
  double v = std::strtod(s, &end);
  if (end == s || *end || !(v >= 0.0 && v <= 1.0)) return false;
  *out = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  nokari::GenParams p;
  const char* outPath = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--lf" || a == "--crlf") {
      p.crlf = a == "--crlf";
      continue;
    }
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      if (i + 1 >= argc) return usage("missing value for", argv[i]);
      const char* v = argv[++i];
      long long n = 0;
      bool ok = true;
      if (a == "--lines") {
        ok = parseCount(v, kMaxLines, &n);
        p.lines = static_cast<int>(n);
      } else if (a == "--defuns") {
        ok = parseCount(v, kMaxLines, &n);
        p.defuns = static_cast<int>(n);
      } else if (a == "--seed") {
        ok = parseCount(v, 0x7FFFFFFFFFFFFFFFll, &n);
        p.seed = static_cast<uint64_t>(n);
      } else if (a == "--nested") {
        ok = parseShare(v, &p.nested);
      } else if (a == "--comments") {
        ok = parseShare(v, &p.comments);
      } else if (a == "--strings") {
        ok = parseShare(v, &p.strings);
      } else if (a == "--non-ascii") {
        ok = parseShare(v, &p.nonAscii);
      } else if (a == "--encoding") {
        const std::string e = v;
        if (e == "utf8")
          p.encoding = nokari::GenEncoding::Utf8;
        else if (e == "utf8-bom")
          p.encoding = nokari::GenEncoding::Utf8Bom;
        else if (e == "utf16le")
          p.encoding = nokari::GenEncoding::Utf16Le;
        else if (e == "utf16be")
          p.encoding = nokari::GenEncoding::Utf16Be;
        else if (e == "sjis")
          p.encoding = nokari::GenEncoding::Sjis;
        else
          ok = false;
      } else {
        return usage("unknown option", argv[i - 1]);
      }
      if (!ok) return usage("bad value for", argv[i - 1]);
      continue;
    }
    if (outPath) return usage("more than one output file", argv[i]);
    outPath = argv[i];
  }
  if (!outPath) return usage("no output file", nullptr);

  const std::string bytes = nokari::generateLsp(p);
  const bool toStdout = std::strcmp(outPath, "-") == 0;
  std::FILE* f = toStdout ? stdout : std::fopen(outPath, "wb");
  if (!f) {
    std::fprintf(stderr, "lsp-gen: cannot write %s: %s\n", outPath, std::strerror(errno));
    return 2;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = toStdout ? std::fflush(f) == 0 : std::fclose(f) == 0;
  if (!written || !closed) {
    std::fprintf(stderr, "lsp-gen: cannot write %s\n", outPath);
    return 2;
  }
  return 0;
}
