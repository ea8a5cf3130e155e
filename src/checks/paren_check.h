// The parenthesis check: unbalanced pieces between defuns, and the whole file's balance with
// the place where it stops being balanced.
#pragma once

#include <functional>
#include <optional>

#include "base/lines.h"
#include "base/text.h"
#include "checks/findings.h"
#include "source/progress.h"

namespace nokari {

// Counts "(" and ")" in lines first..last (last is lowered to the list's end). False, with
// both counts 0, when first is negative or beyond last.
bool countParens(const Lines& lines, int first, int last, long long& open, long long& close);

// checkDefunParens: the "■括弧数不一致" block (empty when every piece balances).
TextList checkDefunParens(const Lines& sourceLines, Progress* bar, Findings* findings = nullptr);

// What the check shows when the whole file does not balance.
struct ParenMessage {
  Text text;              // lines separated by LF
  bool question = false;  // a Yes/No question (editor found) rather than a plain message box
  int jumpLine = 0;       // 1-based editor line the Yes answer jumps to; 0 without a question
};

struct ParenResult {
  TextList panel;  // an entry may hold CR LF (the summary shows as three lines)
  std::optional<ParenMessage> message;
  bool balanced = true;  // the whole file's "(" and ")" counts agree (also for an empty file)
};

// The whole check after the reload. lookUpEditor runs only when the file does not balance: it
// looks for the chosen editor's window and tells whether one is open, which turns the message
// into the jump question.
ParenResult parenBalanceCheck(const Lines& sourceLines, const std::function<bool()>& lookUpEditor,
                              Progress* bar, Findings* findings = nullptr);
// The same on the source's code lines, with the number of functions its index holds.
ParenResult parenBalanceCheck(const Lines& sourceLines, const Lines& code, size_t functions,
                              const std::function<bool()>& lookUpEditor,
                              Findings* findings = nullptr);
// The same with the editor's presence known in advance.
inline ParenResult parenBalanceCheck(const Lines& sourceLines, bool editorFound, Progress* bar,
                                     Findings* findings = nullptr) {
  return parenBalanceCheck(
      sourceLines, std::function<bool()>([editorFound] { return editorFound; }), bar, findings);
}

}  // namespace nokari
