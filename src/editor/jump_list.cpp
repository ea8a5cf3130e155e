#include "editor/jump_list.h"

#include <utility>

#include "platform/collate.h"

namespace nokari {

Text jumpEntryKey(const Text& text) {
  const std::u16string_view view(text);
  return upperAscii(trim(view.substr(0, view.find(u'('))));
}

bool JumpList::contains(const Text& text) const {
  for (const JumpEntry& e : entries_)
    if (sameTextIgnoreCase(e.text, text)) return true;
  return false;
}

bool JumpList::add(const Text& text, int line) {
  if (contains(text)) return false;
  entries_.push_back({text, line});
  return true;
}

bool JumpList::insertAtTop(const Text& text, int line) {
  if (contains(text)) return false;
  entries_.insert(entries_.begin(), {text, line});
  return true;
}

int JumpList::moveUp(int selected) {
  if (entries_.size() < 2 || selected < 1 || !valid(selected))
    return valid(selected) ? selected : -1;
  std::swap(entries_[selected - 1], entries_[selected]);
  return selected - 1;
}

int JumpList::moveDown(int selected) {
  if (entries_.size() < 2 || !valid(selected) || !valid(selected + 1))
    return valid(selected) ? selected : -1;
  std::swap(entries_[selected], entries_[selected + 1]);
  return selected + 1;
}

int JumpList::remove(int selected) {
  if (valid(selected)) entries_.erase(entries_.begin() + selected);
  return -1;
}

int JumpList::move(int from, int to, int selected) {
  if (!valid(from) || !valid(to)) return valid(selected) ? selected : -1;
  JumpEntry moving = std::move(entries_[from]);
  entries_.erase(entries_.begin() + from);
  entries_.insert(entries_.begin() + to, std::move(moving));
  return to;
}

int JumpList::refresh(const FuncIndex& sortedIndex, int selected) {
  if (sortedIndex.empty() || entries_.empty()) return valid(selected) ? selected : -1;
  for (int i = static_cast<int>(entries_.size()) - 1; i >= 0; --i) {
    const Text key = jumpEntryKey(entries_[i].text);
    const FuncRecord* found = nullptr;
    for (const FuncRecord& r : sortedIndex) {
      if (r.kind == FuncKind::TopLevel && upperAscii(r.name()) == key) {
        found = &r;
        break;
      }
    }
    if (found) {
      entries_[i].line = found->startLine + 1;
      continue;
    }
    entries_.erase(entries_.begin() + i);
    if (selected == i)
      selected = -1;
    else if (selected > i)
      --selected;
  }
  return valid(selected) ? selected : -1;
}

}  // namespace nokari
