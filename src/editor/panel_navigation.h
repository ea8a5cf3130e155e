// Navigation from the results panel: a double-clicked line number or function name, read into
// the line the editor should go to.
#pragma once

#include <string_view>

#include "app/func_tree.h"
#include "base/lines.h"
#include "base/text.h"

namespace nokari {

// The line number a selection stands for: its text without any "|", trimmed, read as a whole
// decimal integer; 0 when it is not one (a sign, letters, or too many digits).
int lineNumberIn(std::u16string_view selected);

// A selection within one panel line: first character and length.
struct LineSpan {
  size_t start = 0;
  size_t length = 0;
};

// The selection widened to the whole name around it, stopping at a space, "(", ")", "/" or "|".
// A selection that already ends on one of them does not grow to the right.
LineSpan widenToName(std::u16string_view line, LineSpan selection);

// The line of the first function node (level 1) whose name, the text before " (", is `name`
// with ASCII letter case ignored; 0 when there is none.
int definitionLine(const FuncTree& tree, std::u16string_view name);

// The 1-based number of the first code line that holds "(" + name + " " (ASCII letter case
// ignored), so that strings and comments do not count; 0 when none does or name is empty.
int firstCallLine(const Lines& sourceLines, std::u16string_view name);

}  // namespace nokari
