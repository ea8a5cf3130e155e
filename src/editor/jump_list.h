// The jump list: functions the user collected from the tree, in the user's order, each with
// the line its defun opens on. It lives in memory only.
#pragma once

#include <vector>

#include "base/text.h"
#include "source/func_index.h"

namespace nokari {

struct JumpEntry {
  Text text;     // the tree node's text when it was added; never rewritten
  int line = 0;  // 1-based line of the (defun
};

// Every operation that takes the selected index returns the index to select afterwards
// (-1 for none); an index outside the list means no selection.
class JumpList {
 public:
  const std::vector<JumpEntry>& entries() const { return entries_; }
  bool empty() const { return entries_.empty(); }

  // At the end, or at the top, unless an entry of the same text (letter case ignored) is
  // there already. False when nothing was added.
  bool add(const Text& text, int line);
  bool insertAtTop(const Text& text, int line);
  void clear() { entries_.clear(); }

  int moveUp(int selected);
  int moveDown(int selected);
  int remove(int selected);
  // Drag and drop: the entry at `from` goes to `to`; nothing moves unless both are entries.
  int move(int from, int to, int selected);

  // After the tree was rebuilt from `sortedIndex`: each entry takes the line of the first
  // top-level defun of its name, or goes when there is none. An index without records
  // leaves the list as it is. Returns where `selected` went (-1 when it was dropped).
  int refresh(const FuncIndex& sortedIndex, int selected);

 private:
  bool contains(const Text& text) const;
  bool valid(int index) const { return index >= 0 && index < static_cast<int>(entries_.size()); }
  std::vector<JumpEntry> entries_;
};

// The function name an entry stands for: its text before the first "(", trimmed, upper-cased.
Text jumpEntryKey(const Text& text);

}  // namespace nokari
