// Large synthetic AutoLISP sources for benchmarks and tests, deterministic per seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nokari {

// How the generated text is written to bytes.
enum class GenEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Sjis };

struct GenParams {
  int lines = 10000;       // exact number of lines written (raised to one per defun)
  int defuns = 500;        // top-level defuns
  double nested = 0.1;     // share of top-level defuns that hold nested defuns
  double comments = 0.15;  // chance that a filler line is a comment, or a code line has one
  double strings = 0.3;    // chance that a statement carries a string literal
  double nonAscii = 0.1;   // share of comments and strings written in Japanese
  bool crlf = true;        // CR LF line endings, else LF
  GenEncoding encoding = GenEncoding::Utf8;
  uint64_t seed = 1;
};

// A nested defun as written: its line and the column of its "(" (0-based).
struct GenNested {
  std::string name;
  int line = 0;
  int col = 0;
};

// A top-level defun as written. Columns are those of the code lines, which equal the source
// columns here: nothing is ever removed before a defun's "(" or its closing ")".
struct GenDefun {
  std::string name;                 // UTF-8, as written
  std::vector<std::string> params;  // names before "/"
  std::vector<std::string> locals;  // names after "/"
  int line = 0, col = 0;            // the "(" of "(defun"
  int endLine = 0, endCol = 0;      // its matching ")"
  std::vector<GenNested> nested;    // at any depth, in file order
};

struct GenOutput {
  std::string bytes;
  int lines = 0;
  std::vector<GenDefun> defuns;  // in file order
};

// The file's bytes only.
std::string generateLsp(const GenParams& params);
// The bytes and what they hold, for checking readers against.
GenOutput generateLspDetailed(const GenParams& params);

}  // namespace nokari
