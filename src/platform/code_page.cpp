#include "platform/code_page.h"

namespace nokari {

// The portable default: ASCII only.
std::optional<std::string> CodePage::encode(std::u16string_view text) const {
  std::string out;
  for (char16_t c : text) {
    if (c > 0x7F) return std::nullopt;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

}  // namespace nokari
