// Case-insensitive collation used for every sort and name lookup.
#pragma once

#include <algorithm>
#include <string_view>

#include "base/text.h"

namespace nokari {

// The platform's locale collation ignoring case on Windows; elsewhere ordinal order of the
// ASCII-upper-cased code units.
int compareTextIgnoreCase(std::u16string_view a, std::u16string_view b);

// Equality under the same collation.
inline bool sameTextIgnoreCase(std::u16string_view a, std::u16string_view b) {
  return compareTextIgnoreCase(a, b) == 0;
}

// Stable sort of a list with compareTextIgnoreCase.
inline void sortTextIgnoreCase(TextList& list) {
  std::stable_sort(list.begin(), list.end(),
                   [](const Text& a, const Text& b) { return compareTextIgnoreCase(a, b) < 0; });
}

}  // namespace nokari
