#include "platform/code_page.h"

#include <string>

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

std::string codePageName(unsigned number) {
  switch (number) {
    case 0:
      return "";
    case 437:
      return "IBM437";
    case 850:
      return "IBM850";
    case 866:
      return "IBM866";
    case 932:
      return "Shift_JIS";
    case 936:
      return "GBK";
    case 949:
      return "KS_C_5601-1987";
    case 950:
      return "Big5";
    case 65001:
      return "UTF-8";
    default:
      return "windows-" + std::to_string(number);
  }
}

}  // namespace nokari
