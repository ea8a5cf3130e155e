// What the tree's popup menu puts on the clipboard for the selected function: a call
// template, or the whole function as it stands in the source.
#pragma once

#include <optional>

#include "app/func_tree.h"
#include "base/lines.h"
#include "base/text.h"

namespace nokari {

// "foo (a b)" -> "(foo a b)"; a command's node text ("C:FOO") as it is.
Text callTemplate(const Text& nodeText);

// Where the parenthesis opened at (line, column) closes, 0-based; false when it does not.
bool findCloseParen(const TextList& lines, int line, int column, int* endLine, int* endColumn);

// The source lines of the function at node (level 1, or level 2 inside parent), from the
// comment block above it to its closing line, each followed by CR LF; nullopt when the range
// cannot be found in a fresh index of the source.
std::optional<Text> functionText(const Lines& sourceLines, const TreeNode& node,
                                 const TreeNode* parent);

}  // namespace nokari
