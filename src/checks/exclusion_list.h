// The exclusion list: names the variable check never treats as variables.
#pragma once

#include <string>

#include "base/text.h"

namespace nokari {

// The predefined symbols of AutoLISP and the automation constants, comma-separated.
extern const char16_t kDefaultExclusionText[];

// Sorted once after it is built; lookups ignore letter case.
class ExclusionList {
 public:
  // An empty list: every name is a candidate as far as the list is concerned.
  ExclusionList() = default;
  // The default entries only.
  static ExclusionList defaults();
  // The defaults plus the lines of a list file (already decoded), then sorted.
  static ExclusionList withFileLines(const TextList& fileLines);

  bool contains(std::u16string_view name) const;
  bool empty() const { return entries_.empty(); }
  // In sorted order, as the "除外" button lists them.
  const TextList& entries() const { return entries_; }

 private:
  void sort();
  TextList entries_;
};

}  // namespace nokari
