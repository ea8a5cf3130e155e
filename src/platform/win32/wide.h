// Copies between the program's Text and the Win32 wide strings.
#pragma once

#include <string>

#include "base/text.h"

namespace nokari {

inline std::wstring toWide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline Text fromWide(std::wstring_view s) { return Text(s.begin(), s.end()); }

}  // namespace nokari
