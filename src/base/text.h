// Text type and the small text helpers every layer shares.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nokari {

// UTF-16 code units: lengths and columns everywhere count these.
using Text = std::u16string;
using TextList = std::vector<Text>;

// ASCII-only literal helper for tests and fixed texts.
Text fromAscii(std::string_view s);

// Lenient UTF-8 to UTF-16: an invalid sequence becomes U+FFFD.
Text fromUtf8(std::string_view s);
// fromUtf8 into out, which has room for s.size() code units; returns how many it wrote.
size_t fromUtf8Into(std::string_view s, char16_t* out);
// UTF-16 to UTF-8: an unpaired surrogate becomes U+FFFD.
std::string toUtf8(const Text& s);
std::string toUtf8(std::u16string_view s);
// toUtf8 appended to out.
void appendToUtf8(std::string& out, std::u16string_view s);

// Bytes that should be UTF-8 but may not be (POSIX file names and arguments), kept whole:
// each byte that starts no valid sequence becomes the lone surrogate U+DC80..U+DCFF
// (0xDC00 + byte), so that toUtf8Escaped gives the same bytes back.
Text fromUtf8Escaped(std::string_view s);
// toUtf8, except that a lone U+DC80..U+DCFF becomes the byte it stands for.
std::string toUtf8Escaped(std::u16string_view s);

// Removes code units 0..32 at both ends.
Text trim(std::u16string_view s);
// trim without a copy: the part of s it keeps.
std::u16string_view trimmedView(std::u16string_view s);
// upperAscii(a) == upperAscii(b), without a copy.
bool equalUpperAscii(std::u16string_view a, std::u16string_view b);
// Upper-cases a..z only.
Text upperAscii(std::u16string_view s);
inline char16_t upperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - 32 : c; }
// The upper-cased extension of a Windows path or file name, with its dot (".LSP"); empty when
// the name after the last "\\", "/" or ":" has none.
Text extensionUpper(std::u16string_view path);

// Whole-text decimal integer, optional sign; anything else is nullopt-like: returns false.
bool parseInt(std::u16string_view s, int* out);
// parseInt with a default for text that is not a number.
int parseIntOr(std::u16string_view s, int def);

// Joins lines with LF after each (used by reports and tests).
std::string joinUtf8Lines(const TextList& lines);

}  // namespace nokari
