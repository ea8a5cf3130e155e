// The function index: one record per defun of the code lines, its comma text with the fields
// read back from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/lines.h"
#include "base/text.h"
#include "source/progress.h"
#include "source/reader.h"
#include "source/scanner.h"

namespace nokari {

// The shape a record's text reads back as.
enum class FuncKind {
  TopLevel,  // six items: a defun outside any other
  Nested,    // four items: a defun inside a top-level one
  Other,     // any other count, as a name with a space or a comma gives
};

// One defun of the index: its text, and the fields splitCommaText reads from it once (a name
// keeps no trailing blanks; a number that does not read back leaves its default). A field is a
// run of the text where it reads there as written, so a record of a plain name holds no string
// but its text; the text must not change once the fields are set.
struct FuncRecord {
  Text text;  // printed by nokari-check --index, and the key the index is sorted by
  FuncKind kind = FuncKind::Other;
  int startLine = -1;  // 0-based line of the "(defun"
  int startCol = 0;    // 0-based column of its "("
  int endLine = -1;    // top-level only: 0-based line of the closing ")"
  int endCol = -1;     // top-level only: its column

  // Empty for Other.
  std::u16string_view name() const { return read(name_); }
  // Nested only: the top-level function it sits in.
  std::u16string_view enclosing() const { return read(enclosing_); }
  // The name the function check takes as defined: the name of a top-level or nested defun,
  // the first item of an Other record with more than four items, none for a shorter one.
  std::optional<std::u16string_view> defined() const {
    if (kind != FuncKind::Other) return name();
    if (otherDefines_) return read(enclosing_);
    return std::nullopt;
  }

  // True when makeFuncIndex made the record from plain names: its fields are runs of its text,
  // and a nested record comes right after the top-level one it sits in, with the others of it.
  bool asWritten() const { return kind != FuncKind::Other && !name_.apart; }

  // The name (and enclosing name) as runs of text starting at the offsets given.
  void setNameInText(size_t at, size_t size) { name_ = {uint32(at), uint32(size), false}; }
  void setEnclosingInText(size_t at, size_t size) {
    enclosing_ = {uint32(at), uint32(size), false};
  }
  // The fields as read apart from the text: an Other record's defined name, when it has one,
  // goes in as the enclosing name.
  void setFieldsApart(std::u16string_view name, std::u16string_view enclosing, bool otherDefines);

 private:
  struct Run {
    std::uint32_t at = 0, size = 0;
    bool apart = false;  // in apart_, not in text
  };
  static std::uint32_t uint32(size_t n) { return static_cast<std::uint32_t>(n); }
  std::u16string_view read(const Run& r) const {
    return std::u16string_view(r.apart ? apart_ : text).substr(r.at, r.size);
  }
  Run name_, enclosing_;
  bool otherDefines_ = false;
  Text apart_;  // the fields of a record whose items do not read as written (quotes, blanks)
};

// A command's name: "C:" or "c:" first. The tree puts commands apart, and the function checks
// leave them out.
inline bool isCommandName(std::u16string_view name) {
  return name.size() >= 2 && upperAscii(name[0]) == u'C' && name[1] == u':';
}

// True when "C:" or "c:" stands anywhere in text. The catalogue's command mark and the
// clipboard's call template have always been decided so, for a name or a heading that holds it
// anywhere (a library's "lib-c:x"); they keep it, so that their texts do not change.
inline bool holdsCommandMark(std::u16string_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i)
    if (upperAscii(text[i]) == u'C' && text[i + 1] == u':') return true;
  return false;
}

// In the order makeFuncIndex makes it, or sorted with sortFuncIndex.
using FuncIndex = std::vector<FuncRecord>;

// The nine spaces of item 2 when the caller asks for indentation. They sort before any name,
// so a sorted index keeps each top-level record ("name,         ,...") right before the
// records of the functions nested in it ("name,inner,...").
inline constexpr char16_t kIndentText[] = u"         ";

// Fills funcIndex with a record "name,indent,startLine,startCol,endLine,endCol" for each
// top-level defun, in the order they end, each followed by the records "outer,inner,line,col"
// of the defuns nested in it (sorted). Empty code lines leave index and bar untouched.
void makeFuncIndex(const Lines& codeLines, FuncIndex& funcIndex, int stageSteps, Progress* bar,
                   bool withIndent);

// stripComments into codeLines (passed in empty) and makeFuncIndex over it, in one pass that
// indexes each code line as it is made: a large file's code lines are read while still in the
// cache. One progress stage of stageSteps; empty source lines leave the index alone. marks, when
// given, receives the places of the strings and comment blocks.
void makeCodeAndFuncIndex(const Lines& sourceLines, Lines& codeLines, FuncIndex& funcIndex,
                          int stageSteps, Progress* bar, bool withIndent,
                          CodeMarks* marks = nullptr);

// The parts of a defun form: its list, its name, and what follows the name (0 when nothing).
struct DefunParts {
  std::uint32_t list = 0, name = 0, params = 0;
};
// True when f[i] is a list "(defun name ...)" with a symbol for a name (ASCII case ignored).
bool defunAt(const Lines& code, const Form& f, std::uint32_t i, DefunParts* d);
// True when f[i] is a list whose first element is the symbol upperWord (ASCII case ignored).
bool headIs(const Lines& code, const Form& f, std::uint32_t i, std::u16string_view upperWord);
// True when f[i] is quoted data ('x, '(a b), (quote ...)), which holds no code: a quoted
// lambda is code all the same.
bool isQuotedData(const Lines& code, const Form& f, std::uint32_t i);

// 1-based position of the first "(DEFUN " in line (ASCII case ignored), 0 when absent.
size_t findDefun(std::u16string_view line);

// Stable sort by record text, letter case ignored, as the tree and the function check list them.
void sortFuncIndex(FuncIndex& index);
// The places of the records in that order, the index left as it is.
std::vector<size_t> sortedFuncOrder(const FuncIndex& index);
// Puts the records in the order of their places (each place once, as sortedFuncOrder gives).
void arrangeFuncIndex(FuncIndex& index, const std::vector<size_t>& order);

// The record texts in index order, as nokari-check --index prints them.
TextList recordTexts(const FuncIndex& index);

}  // namespace nokari
