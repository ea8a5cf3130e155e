// Which of many names a code line calls: "(" + name + " " (or ")"), ASCII case ignored.
// One pass over the line instead of one substring search per name.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/lines.h"
#include "base/text.h"
#include "source/progress.h"

namespace nokari {

class CallMatcher {
 public:
  // Names equal after ASCII upper-casing share one key.
  explicit CallMatcher(const TextList& names);
  // The key of a name, -1 when it is not one of the names.
  int keyOf(std::u16string_view name) const;
  size_t keyCount() const { return keyCount_; }
  // For every key, the number of lines that hold "(" + key + " ", or also "(" + key + ")"
  // with closeToo. Each line counts once per key. The loop over the lines is one stage.
  std::vector<int> countLines(const Lines& lines, bool closeToo, Progress* bar = nullptr,
                              int stageSteps = 1) const;

 private:
  // The names as a trie of upper-cased code units; its edges in one open-addressed table.
  struct Edge {
    std::uint64_t from = 0;  // node << 16 | unit, plus one; 0 marks a free slot
    int to = 0;
  };
  static std::uint64_t edgeKey(int node, char16_t c) {
    return ((static_cast<std::uint64_t>(node) << 16) | c) + 1;
  }
  size_t slotOf(std::uint64_t key) const {
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> shift_);
  }
  int child(int node, char16_t c) const {
    if (node == 0 && c < 128) return rootChild_[upperAscii(c)];
    const std::uint64_t key = edgeKey(node, upperAscii(c));
    for (size_t i = slotOf(key);; i = (i + 1) & mask_) {
      if (edges_[i].from == key) return edges_[i].to;
      if (edges_[i].from == 0) return -1;
    }
  }
  // The child, made when missing.
  int addChild(int node, char16_t c);
  void growEdges();

  std::vector<int> keyAt_;  // per node: the key that ends there, or -1
  // The children of the root by ASCII code unit: the first step after every "(".
  std::array<int, 128> rootChild_;
  std::vector<Edge> edges_;
  size_t edgeCount_ = 0;
  size_t mask_ = 0;
  int shift_ = 64;
  size_t keyCount_ = 0;
};

}  // namespace nokari
