#include "checks/call_matcher.h"

namespace nokari {

namespace {

uint64_t edge(int node, char16_t c) { return (static_cast<uint64_t>(node) << 16) | c; }

}  // namespace

CallMatcher::CallMatcher(const TextList& names) : keyAt_{-1} {
  for (const Text& name : names) {
    int node = 0;
    for (char16_t c : name) {
      const char16_t u = upperAscii(c);
      auto [it, added] = edges_.try_emplace(edge(node, u), static_cast<int>(keyAt_.size()));
      if (added) keyAt_.push_back(-1);
      node = it->second;
    }
    if (keyAt_[node] < 0) keyAt_[node] = static_cast<int>(keyCount_++);
  }
}

int CallMatcher::child(int node, char16_t c) const {
  auto it = edges_.find(edge(node, upperAscii(c)));
  return it == edges_.end() ? -1 : it->second;
}

int CallMatcher::keyOf(std::u16string_view name) const {
  int node = 0;
  for (char16_t c : name)
    if ((node = child(node, c)) < 0) return -1;
  return keyAt_[node];
}

std::vector<int> CallMatcher::countLines(const Lines& lines, bool closeToo, Progress* bar,
                                         int stageSteps) const {
  std::vector<int> counts(keyCount_, 0);
  std::vector<size_t> lastLine(keyCount_, SIZE_MAX);
  Stage stage(bar, lines.size(), stageSteps);
  for (size_t i = 0; i < lines.size(); ++i) {
    stage.before(i);
    const std::u16string_view line = lines[i];
    const size_t n = line.size();
    for (size_t p = 0; p < n; ++p) {
      if (line[p] != u'(') continue;
      // Names hold no "(", so this walk ends before the next "(" and the line is read once.
      int node = 0;
      for (size_t q = p + 1; q < n; ++q) {
        const char16_t c = line[q];
        const int key = keyAt_[node];
        if (key >= 0 && (c == u' ' || (closeToo && c == u')')) && lastLine[key] != i) {
          lastLine[key] = i;
          ++counts[key];
        }
        if ((node = child(node, c)) < 0) break;
      }
    }
  }
  return counts;
}

}  // namespace nokari
