// Symbol collection: the words a region of code lines uses, once call heads, quoted items,
// parentheses, numbers and excluded names are gone; and the locals a defun declares.
#pragma once

#include "base/lines.h"
#include "base/text.h"
#include "checks/exclusion_list.h"

namespace nokari {

// Blanks each call head ("(setq", "(+") up to the next space or ")", and every ")".
Text maskCallHeads(std::u16string_view s);
// Blanks each quoted item ("'name", the first word of "'(a b)") and every parenthesis.
Text maskQuoted(std::u16string_view s);
// True when the whole text reads as a decimal floating-point number.
bool isNumberText(std::u16string_view s);
// False for numbers and for names of the exclusion list.
bool isVariableCandidate(std::u16string_view name, const ExclusionList& exclusions);

// The names after the "/" of the parameter list of the defun whose "(" stands at
// (startLine, startCol), sorted, duplicates kept; empty when the list cannot be read.
TextList getDefunLocals(const Lines& codeLines, int startLine, int startCol);

// The symbols of a function's body with the defuns nested in it blanked out; sorted, each
// name once (spelled as first met).
TextList collectOwnBodySymbols(const Lines& codeLines, int startLine, int startCol,
                               const ExclusionList& exclusions);
// The symbols of a function's whole body, nested defuns included.
TextList collectBodySymbols(const Lines& codeLines, int startLine, int startCol,
                            const ExclusionList& exclusions);
// The symbols of code lines first..last (0-based, inclusive); empty when last < first.
TextList collectRangeSymbols(const Lines& codeLines, int first, int last,
                             const ExclusionList& exclusions);

// Building blocks of the collectors, open to tests.

// The body's text: from the ")" that closes the parameter list to the defun's closing ")",
// one text per line; empty when the defun does not close.
TextList defunBodyRegion(const Lines& codeLines, int startLine, int startCol);
// Blanks every "(defun" of the region up to the end of the line where it balances.
void maskNestedDefuns(TextList& region);

}  // namespace nokari
