// What a file's code does with its names, read from its forms as AutoLISP evaluates them: what
// each defun declares and uses without declaring, which functions the code calls, where it
// names a function, which names it sets. Lambdas, foreach and vlax-for bind their own names;
// quoted data holds no variables and no calls.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/lines.h"
#include "base/text.h"
#include "source/reader.h"
#include "source/scanner.h"

namespace nokari {

// Names compare as AutoLISP compares symbols: ASCII letter case ignored.
struct FoldedHash {
  size_t operator()(std::u16string_view s) const {
    std::uint64_t h = 1469598103934665603ULL;
    for (char16_t c : s) h = (h ^ upperAscii(c)) * 1099511628211ULL;
    return static_cast<size_t>(h);
  }
};
struct FoldedEqual {
  bool operator()(std::u16string_view a, std::u16string_view b) const {
    return equalUpperAscii(a, b);
  }
};

// A name at a place: a view into the code lines (or, for a name inside a string, the source
// lines), which must outlive it.
struct NameSite {
  std::u16string_view name;
  std::uint32_t line = 0;  // 0-based
  std::uint32_t col = 0;   // 0-based column of the code line (of the source line for strings)
};

// An undeclared name of a defun's own code (or of code outside every defun).
struct FreeName {
  NameSite site;          // where it is first met, spelled as there
  bool assigned = false;  // set with setq somewhere, not only read
};

struct DefunFacts {
  std::uint32_t line = 0, col = 0;  // its "(defun"
  std::u16string_view name;
  NameSite nameSite;  // where its name stands
  int parent = -1;    // the defun it stands in, by its place in FileFacts::defuns
  TextList args;      // before "/", in declaration order
  TextList locals;    // after "/", in declaration order, repeats kept
  std::vector<NameSite> argSites, localSites;  // where each of args and locals stands
  std::vector<char> argUsed, localUsed;        // per entry: used in its body, nested code included
  std::vector<FreeName> free;  // in the order first met; nested defuns' code is theirs
};

struct FileFacts {
  std::vector<DefunFacts> defuns;    // in the order their "(defun" stands
  std::vector<FreeName> topLevel;    // each undeclared name of code outside every defun, at
                                     // each place it stands (bare atoms of the file left out)
  std::vector<NameSite> calls;       // lists headed by a name no variable in scope has
  std::vector<NameSite> references;  // every place that names a function: the calls, quoted
                                     // names and data, (function f), "(f ...)" in strings,
                                     // undeclared names read as values
  std::vector<std::u16string_view> assigned;  // names some setq sets, each place
};

// Reads the forms of code (with the marks CommentStripper gave for source) into facts.
FileFacts readFileFacts(const Lines& source, const Lines& code, const CodeMarks& marks);

// True when a defun's record and its facts are the same function.
inline bool sameDefun(const DefunFacts& d, int startLine, int startCol) {
  return d.line == static_cast<std::uint32_t>(startLine) &&
         d.col == static_cast<std::uint32_t>(startCol);
}

}  // namespace nokari
