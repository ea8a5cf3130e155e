// Case-insensitive collation used for every sort and name lookup.
#pragma once

#include <algorithm>
#include <compare>
#include <cstdint>
#include <string_view>

#include "base/text.h"

namespace nokari {

// The platform's locale collation ignoring case on Windows; elsewhere ordinal order of the
// ASCII-upper-cased code units.
int compareTextIgnoreCase(std::u16string_view a, std::u16string_view b);

// The beginning of a text as a number for sorting many texts: where the keys of two texts
// differ, their order is the order compareTextIgnoreCase gives; where they are equal, the texts
// must be compared. Always 0 where the collation has no such key.
struct CollationKey {
  std::uint64_t units[3] = {0, 0, 0};  // code units 1-4, 5-8 and 9-12 (ordinal collation)
  friend auto operator<=>(const CollationKey&, const CollationKey&) = default;
};
CollationKey collationKey(std::u16string_view text);

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
