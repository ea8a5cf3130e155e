// Ordinal collation on ASCII-upper-cased code units: the portable stand-in for the locale's
// case-insensitive order.
#include <cstdint>
#include <cstring>

#include "platform/collate.h"

namespace nokari {

int compareTextIgnoreCase(std::u16string_view a, std::u16string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  size_t i = 0;
  // Sorted neighbours share long beginnings: four code units that are the same as they stand
  // are the same upper-cased, and are passed at once.
  for (; i + 4 <= n; i += 4) {
    std::uint64_t x, y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) break;
  }
  for (; i < n; ++i) {
    char16_t x = upperAscii(a[i]), y = upperAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

// The upper-cased code units side by side, the first one highest, a short text filled with 0:
// where two keys differ, the first code unit that differs decides, or the shorter text comes
// first, as in compareTextIgnoreCase.
CollationKey collationKey(std::u16string_view text) {
  CollationKey key;
  for (size_t i = 0; i < 12 && i < text.size(); ++i)
    key.units[i / 4] |= std::uint64_t{upperAscii(text[i])} << (48 - 16 * (i % 4));
  return key;
}

}  // namespace nokari
