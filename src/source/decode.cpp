#include "source/decode.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace nokari {

const char* encodingLabel(Encoding e) { return e == Encoding::Utf8 ? "UTF8" : "ANSI"; }

bool isValidUtf8(std::string_view s) {
  const size_t n = s.size();
  size_t i = 0;
  auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  while (i < n) {
    // Eight ASCII bytes at a time.
    while (i + 8 <= n) {
      std::uint64_t word;
      std::memcpy(&word, s.data() + i, 8);
      if (word & 0x8080808080808080ULL) break;
      i += 8;
    }
    if (i >= n) break;
    unsigned char c = b(i);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (i + len > n) return false;
    if (b(i + 1) < lo || b(i + 1) > hi) return false;
    for (size_t k = 2; k < len; ++k)
      if ((b(i + k) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

TextList splitLines(std::u16string_view text) {
  TextList lines;
  lines.reserve(text.size() / 24 + 1);
  const char16_t* const begin = text.data();
  const char16_t* const end = begin + text.size();
  const char16_t* b = begin;
  for (const char16_t* p = begin; p < end; ++p) {
    // Both line-break characters are below 14; most characters are not.
    if (*p > u'\r' || (*p != u'\r' && *p != u'\n')) continue;
    lines.emplace_back(b, static_cast<size_t>(p - b));
    if (*p == u'\r' && p + 1 < end && p[1] == u'\n') ++p;
    b = p + 1;
  }
  if (b < end) lines.emplace_back(b, static_cast<size_t>(end - b));
  return lines;
}

Text decodeUtf16(std::string_view s, bool bigEndian) {
  Text out;
  out.reserve(s.size() / 2 + 1);
  size_t i = 0;
  for (; i + 1 < s.size(); i += 2) {
    auto hi = static_cast<unsigned char>(s[bigEndian ? i : i + 1]);
    auto lo = static_cast<unsigned char>(s[bigEndian ? i + 1 : i]);
    out.push_back(static_cast<char16_t>((hi << 8) | lo));
  }
  if (i < s.size()) out.push_back(0xFFFD);  // an odd last byte
  return out;
}

void appendUtf16(std::string& out, std::u16string_view text, bool bigEndian) {
  for (char16_t c : text) {
    const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
  }
}

TextFile decodeTextFile(std::string_view bytes, const CodePage& ansi) {
  TextFile out;
  const ByteOrderMark mark = byteOrderMark(bytes);
  switch (mark) {
    case ByteOrderMark::None:
      out.lines = splitLines(ansi.decode(bytes));
      return out;
    case ByteOrderMark::Utf8:
      out.encoding = TextFileEncoding::Utf8Bom;
      break;
    case ByteOrderMark::Utf16Le:
      out.encoding = TextFileEncoding::Utf16Le;
      break;
    case ByteOrderMark::Utf16Be:
      out.encoding = TextFileEncoding::Utf16Be;
      break;
  }
  out.lines = splitLines(decodeAfterMark(bytes, mark));
  return out;
}

ByteOrderMark byteOrderMark(std::string_view bytes) {
  auto starts = [&](std::string_view bom) { return bytes.substr(0, bom.size()) == bom; };
  if (starts("\xEF\xBB\xBF")) return ByteOrderMark::Utf8;
  if (starts("\xFF\xFE")) return ByteOrderMark::Utf16Le;
  if (starts("\xFE\xFF")) return ByteOrderMark::Utf16Be;
  return ByteOrderMark::None;
}

Text decodeAfterMark(std::string_view bytes, ByteOrderMark mark) {
  if (mark == ByteOrderMark::Utf8) return fromUtf8(bytes.substr(3));
  return decodeUtf16(bytes.substr(2), mark == ByteOrderMark::Utf16Be);
}

DecodedSource decodeSource(std::string_view bytes, const CodePage& ansi) {
  DecodedSource out;
  if (const ByteOrderMark mark = byteOrderMark(bytes); mark != ByteOrderMark::None) {
    out.lines = Lines::split(decodeAfterMark(bytes, mark));
  } else if (isValidUtf8(bytes)) {
    out.lines = Lines::splitWritten(bytes.size(),
                                    [&](char16_t* text) { return fromUtf8Into(bytes, text); });
  } else {
    out.encoding = Encoding::Ansi;
    out.lines = Lines::split(ansi.decode(bytes));
  }
  return out;
}

}  // namespace nokari
