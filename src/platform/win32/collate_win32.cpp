// The user's locale collation, ignoring letter case.
#include <windows.h>

#include "platform/collate.h"

namespace nokari {

int compareTextIgnoreCase(std::u16string_view a, std::u16string_view b) {
  int r =
      CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, reinterpret_cast<LPCWCH>(a.data()),
                      static_cast<int>(a.size()), reinterpret_cast<LPCWCH>(b.data()),
                      static_cast<int>(b.size()), nullptr, nullptr, 0);
  if (r == CSTR_LESS_THAN) return -1;
  if (r == CSTR_GREATER_THAN) return 1;
  if (r == CSTR_EQUAL) return 0;
  // The call only fails on bad arguments; fall back to code-unit order so sorting stays total.
  return a < b ? -1 : (b < a ? 1 : 0);
}

// The locale's order cannot be read from a few code units.
CollationKey collationKey(std::u16string_view) { return {}; }

}  // namespace nokari
