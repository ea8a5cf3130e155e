// The function catalogue: every top-level function's head and heading comment.
#pragma once

#include "base/lines.h"
#include "base/text.h"
#include "source/progress.h"

namespace nokari {

// getHeadComment: the comment block directly above line startLine (0-based). On return
// startLine is the block's first line and the result its lines, each as two spaces and the
// line's trimmed text without semicolons, joined by CR LF. A block that runs up to the first
// line of the file (every line above the defun a comment line) is not taken: the result is
// empty and startLine is left unchanged.
Text getHeadComment(const Lines& lines, int& startLine);

// makeCatalogue: the panel's lines. fileName may be a path (only its name part is shown);
// timeText is the date and time of line 3. Empty when the file holds no function.
TextList makeCatalogue(const Lines& sourceLines, const Text& fileName, const Text& timeText,
                       Progress* bar);

}  // namespace nokari
