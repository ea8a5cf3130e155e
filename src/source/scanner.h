// The scanner: code lines without comments and strings, defun parameter lists, comma text.
#pragma once

#include <cstdint>
#include <vector>

#include "base/lines.h"
#include "base/text.h"
#include "source/progress.h"

namespace nokari {

// Appends one code line per source line: strings and comments removed, TAB as one space.
void stripComments(const Lines& sourceLines, Lines& codeLines, Progress* bar, int stageSteps);

// Where a string or a comment block was taken out of the code lines: the reader takes such a
// place as the end of a word, and a string as an atom of its own.
struct CodeMark {
  std::uint32_t line = 0;     // 0-based code line
  std::uint32_t col = 0;      // 0-based column of the code line where it was taken out
  bool isString = false;      // a string literal, else a comment block
  std::uint32_t srcLine = 0;  // its opening character in the source lines (0-based)
  std::uint32_t srcCol = 0;
  std::uint32_t endLine = 0;  // a string's closing quote (the opening one while unclosed)
  std::uint32_t endCol = 0;
};
using CodeMarks = std::vector<CodeMark>;

// The same one source line at a time, for a pass that reads each code line as it is made.
class CommentStripper {
 public:
  CommentStripper() = default;
  // marks, when given, receives the places of the strings and comment blocks, in order.
  explicit CommentStripper(CodeMarks* marks) : marks_(marks) {}
  // Appends the code line of the next source line s to codeLines.
  void append(std::u16string_view s, Lines& codeLines);

 private:
  CodeMarks* marks_ = nullptr;
  std::uint32_t line_ = 0;
  bool inString_ = false;
  bool inBlock_ = false;
  bool escaped_ = false;
};

// Where the characters of stripComments' code lines stand in the source lines: a string or a
// comment earlier on the line moves them to the right.
class SourceColumns {
 public:
  // Reads sourceLines up to line lastLine (0-based); sourceLines must outlive this.
  SourceColumns(const Lines& sourceLines, int lastLine);
  // The 1-based source column of the character at 1-based column col of code line `line`
  // (0-based); col itself when the code line has no such character.
  int sourceColumn(int line, int col) const;

 private:
  const Lines& lines_;
  std::vector<unsigned char> starts_;  // the scanner's state at the start of each line
};

// Argument names (before "/") of the defun whose "(" stands at (startLine, startCol),
// each followed by CR LF; empty when the list cannot be resolved.
Text getDefunParams(const Lines& codeLines, int startLine, int startCol);
// The same names on one line: each CR LF of getDefunParams as one space.
Text defunParamsOnOneLine(const Lines& codeLines, int startLine, int startCol);
// Appends defunParamsOnOneLine without the blanks at its ends.
void appendTrimmedDefunParams(Text& out, const Lines& codeLines, int startLine, int startCol);

// A place in the code lines: 0-based line, 1-based position.
struct CodePos {
  size_t line = 0;
  size_t pos = 0;
};

// What a walk over the code lines does after a character.
enum class Walk { Next, SkipLine, Stop };

// Visits each character of the code lines from just after (startLine, startCol) on: visit gets
// the 0-based line, the 1-based position and the character, and answers how to go on. Nothing
// is visited when startLine lies outside the lines.
template <typename Visit>
void walkCodeFrom(const Lines& codeLines, int startLine, int startCol, Visit visit) {
  if (startLine < 0 || static_cast<size_t>(startLine) >= codeLines.size()) return;
  for (size_t k = static_cast<size_t>(startLine); k < codeLines.size(); ++k) {
    const std::u16string_view line = codeLines[k];
    long long first =
        k == static_cast<size_t>(startLine) ? static_cast<long long>(startCol) + 1 : 1;
    if (first < 1) first = 1;
    for (size_t p = static_cast<size_t>(first); p <= line.size(); ++p) {
      const Walk next = visit(k, p, line[p - 1]);
      if (next == Walk::Stop) return;
      if (next == Walk::SkipLine) break;
    }
  }
}

// Where a list opened by the character at (line, pos) starts: the next position, or position 1
// of the next non-empty line when the opener ends its line. False when there is none.
bool listStartAfter(const Lines& codeLines, size_t line, size_t pos, CodePos* start);
// Where a list closed by the character at (line, pos) ends: the previous position, or the last
// character of the nearest non-empty line above when the closer stands first. False when none.
bool listEndBefore(const Lines& codeLines, size_t line, size_t pos, CodePos* end);
// The text from a to b inclusive: one line, or the pieces of several lines joined by spaces;
// empty when b lies before a.
Text joinedCodeText(const Lines& codeLines, CodePos a, CodePos b);

// The comma-text split of string lists, with white space separating items too.
TextList splitCommaText(std::u16string_view text);

// The same items handed to take(std::u16string_view) one by one, without a list: an item is
// valid during its call only.
template <class Take>
void forEachCommaItem(std::u16string_view text, Take take) {
  // A NUL ends the text, as it ends the character buffer of the classic string-list reader.
  const size_t nul = text.find(u'\0');
  if (nul != std::u16string_view::npos) text = text.substr(0, nul);
  const size_t n = text.size();
  auto blank = [](char16_t c) { return c >= 1 && c <= 32; };
  size_t p = 0;
  while (p < n && blank(text[p])) ++p;
  Text quoted;
  while (p < n) {
    if (text[p] == u'"') {
      quoted.clear();
      ++p;
      while (p < n) {
        if (text[p] == u'"') {
          if (p + 1 < n && text[p + 1] == u'"') {
            quoted += u'"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        quoted += text[p++];
      }
      take(std::u16string_view(quoted));
    } else {
      const size_t b = p;
      while (p < n && text[p] > 32 && text[p] != u',') ++p;
      take(text.substr(b, p - b));
    }
    while (p < n && blank(text[p])) ++p;
    if (p < n && text[p] == u',') {
      if (p + 1 == n) take(std::u16string_view());
      do {
        ++p;
      } while (p < n && blank(text[p]));
    }
  }
}

}  // namespace nokari
