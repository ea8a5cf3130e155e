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
};

// The system's ANSI code page when codePage is 0 (CP932 where there is no system one).
std::unique_ptr<CodePage> makeCodePage(unsigned codePage);

}  // namespace nokari
