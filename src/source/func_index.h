// The function index: one record per defun of the code lines, its comma text with the fields
// read back from it.
#pragma once

#include <optional>
#include <vector>

#include "base/lines.h"
#include "base/text.h"
#include "source/progress.h"

namespace nokari {

// The shape a record's text reads back as.
enum class FuncKind {
  TopLevel,  // six items: a defun outside any other
  Nested,    // four items: a defun inside a top-level one
  Other,     // any other count, as a name with a space or a comma gives
};

// One defun of the index: its text, and the fields splitCommaText reads from it once (a name
// keeps no trailing blanks; a number that does not read back leaves its default).
struct FuncRecord {
  Text text;  // printed by nokari-check --index, and the key the index is sorted by
  FuncKind kind = FuncKind::Other;
  Text name;                      // empty for Other
  std::optional<Text> enclosing;  // the top-level function a nested one sits in
  int startLine = -1;             // 0-based line of the "(defun"
  int startCol = 0;               // 0-based column of its "("
  int endLine = -1;               // top-level only: 0-based line of the closing ")"
  int endCol = -1;                // top-level only: its column
  // Of an Other record with more than four items, its first item (see defined()).
  std::optional<Text> otherDefinedName;

  // The name the function check takes as defined: the name of a top-level or nested defun,
  // the first item of an Other record with more than four items, none for a shorter one.
  const Text* defined() const {
    if (kind != FuncKind::Other) return &name;
    return otherDefinedName ? &*otherDefinedName : nullptr;
  }
};

// In the order makeFuncIndex makes it, or sorted with sortFuncIndex.
using FuncIndex = std::vector<FuncRecord>;

// The nine spaces of item 2 when the caller asks for indentation.
inline constexpr char16_t kIndentText[] = u"         ";

// Fills funcIndex with a record "name,indent,startLine,startCol,endLine,endCol" for each
// top-level defun, in the order they end, each followed by the records "outer,inner,line,col"
// of the defuns nested in it (sorted). Empty code lines leave index and bar untouched.
void makeFuncIndex(const Lines& codeSL, FuncIndex& funcIndex, int stageSteps, Progress* bar,
                   bool withIndent);

// 1-based position of the first "(DEFUN " in line (ASCII case ignored), 0 when absent.
size_t findDefun(std::u16string_view line);

// Stable sort by record text, letter case ignored, as the tree and the function check list them.
void sortFuncIndex(FuncIndex& index);

// The record texts in index order, as nokari-check --index prints them.
TextList recordTexts(const FuncIndex& index);

}  // namespace nokari
