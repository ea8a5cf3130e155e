// Which of many names a code line calls: "(" + name + " " (or ")"), ASCII case ignored.
// One pass over the line instead of one substring search per name.
#pragma once

#include <cstdint>
#include <unordered_map>
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
  int child(int node, char16_t c) const;
  std::vector<int> keyAt_;  // per node: the key that ends there, or -1
  std::unordered_map<uint64_t, int> edges_;
  size_t keyCount_ = 0;
};

}  // namespace nokari
