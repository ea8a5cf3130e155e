// The scanner: code lines without comments and strings, defun parameter lists, comma text.
#pragma once

#include "source/progress.h"
#include "source/text.h"

namespace nokari {

// Appends one code line per source line: strings and comments removed, TAB as one space.
void stripComments(const TextList& lspSL, TextList& codeSL, Progress* bar, int stageSteps);

// Argument names (before "/") of the defun whose "(" stands at (startLine, startCol),
// each followed by CR LF; empty when the list cannot be resolved.
Text getDefunParams(const TextList& codeSL, int startLine, int startCol);

// The comma-text split of string lists, with white space separating items too.
TextList splitCommaText(std::u16string_view text);

}  // namespace nokari
