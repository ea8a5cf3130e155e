// Turning a file's bytes into source lines.
#pragma once

#include <string_view>

#include "source/text.h"

namespace nokari {

// Decodes bytes of a single-byte or double-byte ANSI code page.
class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual Text decode(std::string_view bytes) const = 0;
};

// Which decoding a load used, as the encoding label shows it.
enum class Encoding { Utf8, Ansi };
const char* encodingLabel(Encoding e);

struct DecodedSource {
  TextList lines;
  Encoding encoding = Encoding::Utf8;
};

// A byte-order mark (UTF-8, UTF-16 LE, UTF-16 BE) names the encoding; otherwise strict UTF-8,
// and on any invalid sequence the ANSI code page. Lines split at CR LF, LF or CR.
DecodedSource decodeSource(std::string_view bytes, const CodePage& ansi);

// True when bytes are well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Splits at CR LF, LF or CR; a final line ending adds no empty line.
TextList splitLines(std::u16string_view text);

}  // namespace nokari
