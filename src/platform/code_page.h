// The ANSI code page that text files without a byte-order mark are written in.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"

namespace nokari {

// Decodes bytes of a single-byte or double-byte ANSI code page.
class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual Text decode(std::string_view bytes) const = 0;
  // The text in this code page; nullopt when a character has no exact counterpart.
  virtual std::optional<std::string> encode(std::u16string_view text) const;
  // The code page's number (932), 0 when it has none.
  virtual unsigned number() const { return 0; }
};

// The name a code page is registered under for interchange ("Shift_JIS" for 932,
// "windows-1252"); "windows-N" for one without a registered name, "" for 0.
std::string codePageName(unsigned number);

// The system's ANSI code page when codePage is 0 (CP932 where there is no system one).
std::unique_ptr<CodePage> makeCodePage(unsigned codePage);

}  // namespace nokari
