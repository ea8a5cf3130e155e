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

}  // namespace nokari
