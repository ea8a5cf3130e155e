// The function index: one comma-text record per defun of the code lines.
#pragma once

#include "source/progress.h"
#include "base/text.h"

namespace nokari {

using FuncIndex = TextList;

// The nine spaces of item 2 when the caller asks for indentation.
inline constexpr char16_t kIndentText[] = u"         ";

// Fills funcIndex with "name,indent,startLine,startCol,endLine,endCol" for each top-level
// defun, in the order they end, each followed by "outer,inner,line,col" for the defuns nested
// in it (sorted). Empty code lines leave index and bar untouched.
void makeFuncIndex(const TextList& codeSL, FuncIndex& funcIndex, int stageSteps, Progress* bar,
                   bool withIndent);

// 1-based position of the first "(DEFUN " in line (ASCII case ignored), 0 when absent.
size_t findDefun(std::u16string_view line);

// A record read back with splitCommaText and its numbers, for readers of the index.
struct FuncRecord {
  TextList items;
  bool topLevel() const { return items.size() == 6; }
  bool nested() const { return items.size() == 4; }
  // Item k (1-based) as a number, def when it is not one.
  int number(size_t k, int def) const;
};

FuncRecord readFuncRecord(std::u16string_view record);

}  // namespace nokari
