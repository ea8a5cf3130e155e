#include "checks/call_matcher.h"

namespace nokari {

CallMatcher::CallMatcher(const TextList& names) : keyAt_{-1} {
  rootChild_.fill(-1);
  growEdges();
  for (const Text& name : names) {
    int node = 0;
    for (char16_t c : name) node = addChild(node, c);
    if (keyAt_[node] < 0) keyAt_[node] = static_cast<int>(keyCount_++);
  }
}

int CallMatcher::addChild(int node, char16_t c) {
  if (const int found = child(node, c); found >= 0) return found;
  // At most half full, so that a miss ends soon.
  if (2 * (edgeCount_ + 1) > edges_.size()) growEdges();
  const std::uint64_t key = edgeKey(node, upperAscii(c));
  size_t i = slotOf(key);
  while (edges_[i].from != 0) i = (i + 1) & mask_;
  edges_[i] = {key, static_cast<int>(keyAt_.size())};
  ++edgeCount_;
  keyAt_.push_back(-1);
  if (node == 0 && c < 128) rootChild_[upperAscii(c)] = edges_[i].to;
  return edges_[i].to;
}

void CallMatcher::growEdges() {
  std::vector<Edge> old = std::move(edges_);
  const size_t size = old.empty() ? 64 : old.size() * 2;
  edges_.assign(size, Edge{});
  mask_ = size - 1;
  shift_ = 64;
  for (size_t s = size; s > 1; s >>= 1) --shift_;
  for (const Edge& e : old) {
    if (e.from == 0) continue;
    size_t i = slotOf(e.from);
    while (edges_[i].from != 0) i = (i + 1) & mask_;
    edges_[i] = e;
  }
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
    for (size_t p = line.find(u'('); p < n; p = line.find(u'(', p + 1)) {
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
