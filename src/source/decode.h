// Turning a file's bytes into source lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/lines.h"
#include "base/text.h"
#include "platform/code_page.h"

namespace nokari {

// Which decoding a load used, as the encoding label shows it.
enum class Encoding { Utf8, Ansi };
const char* encodingLabel(Encoding e);

struct DecodedSource {
  Lines lines;
  Encoding encoding = Encoding::Utf8;
};

// A byte-order mark (UTF-8, UTF-16 LE, UTF-16 BE) names the encoding; otherwise strict UTF-8,
// and on any invalid sequence the ANSI code page. Lines split at CR LF, LF or CR.
DecodedSource decodeSource(std::string_view bytes, const CodePage& ansi);

// True when bytes are well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Splits at CR LF, LF or CR; a final line ending adds no empty line.
TextList splitLines(std::u16string_view text);

// The settings, history and list files beside the program: a byte-order mark names the
// encoding, otherwise the ANSI code page.
enum class TextFileEncoding { Ansi, Utf8Bom, Utf16Le, Utf16Be };
struct TextFile {
  TextList lines;
  TextFileEncoding encoding = TextFileEncoding::Ansi;
};
TextFile decodeTextFile(std::string_view bytes, const CodePage& ansi);
// The byte-order mark a file begins with.
enum class ByteOrderMark { None, Utf8, Utf16Le, Utf16Be };
ByteOrderMark byteOrderMark(std::string_view bytes);
// The text after the mark, decoded as the mark says (mark must not be None).
Text decodeAfterMark(std::string_view bytes, ByteOrderMark mark);

// UTF-16 code units from bytes; an odd last byte becomes U+FFFD.
Text decodeUtf16(std::string_view bytes, bool bigEndian);
// Appends the code units as UTF-16 bytes.
void appendUtf16(std::string& out, std::u16string_view text, bool bigEndian);

}  // namespace nokari
