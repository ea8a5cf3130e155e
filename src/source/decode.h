// Turning a file's bytes into source lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"
#include "platform/code_page.h"

namespace nokari {

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

// The settings, history and list files beside the program: a byte-order mark names the
// encoding, otherwise the ANSI code page.
enum class TextFileEncoding { Ansi, Utf8Bom, Utf16Le, Utf16Be };
struct TextFile {
  TextList lines;
  TextFileEncoding encoding = TextFileEncoding::Ansi;
};
TextFile decodeTextFile(std::string_view bytes, const CodePage& ansi);
// Lines with CR LF after each, in the given encoding. Text the ANSI code page cannot hold
// exactly is written as UTF-16 LE with a byte-order mark instead, so nothing is lost.
std::string encodeTextFile(const TextList& lines, TextFileEncoding encoding, const CodePage& ansi);

}  // namespace nokari
