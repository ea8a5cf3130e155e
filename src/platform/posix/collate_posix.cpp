// Ordinal collation on ASCII-upper-cased code units: the portable stand-in for the locale's
// case-insensitive order.
#include "platform/collate.h"

namespace nokari {

int compareTextIgnoreCase(std::u16string_view a, std::u16string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t x = upperAscii(a[i]), y = upperAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace nokari
