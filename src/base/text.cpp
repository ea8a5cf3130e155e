#include "base/text.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

namespace nokari {

Text fromAscii(std::string_view s) { return Text(s.begin(), s.end()); }

namespace {

// UTF-8 to UTF-16; bad(byte) gives the code unit for a byte that starts no valid sequence.
template <typename Bad>
size_t decodeUtf8Into(std::string_view s, char16_t* const begin, Bad bad) {
  char16_t* out = begin;
  size_t i = 0;
  const size_t n = s.size();
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  while (i < n) {
    // Eight ASCII bytes at a time.
    while (i + 8 <= n) {
      std::uint64_t word;
      std::memcpy(&word, s.data() + i, 8);
      if (word & 0x8080808080808080ULL) break;
      for (int k = 0; k < 8; ++k) out[k] = byte(i + k);
      out += 8;
      i += 8;
    }
    if (i >= n) break;
    unsigned char c = byte(i);
    if (c < 0x80) {
      *out++ = c;
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2, cp = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4, cp = c & 0x07, min = 0x10000;
    }
    bool ok = len > 0 && i + len <= n;
    for (int k = 1; ok && k < len; ++k) {
      unsigned char t = byte(i + k);
      if ((t & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      *out++ = bad(c);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *out++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *out++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *out++ = static_cast<char16_t>(cp);
    }
    i += len;
  }
  return static_cast<size_t>(out - begin);
}

template <typename Bad>
Text decodeUtf8(std::string_view s, Bad bad) {
  // Every byte gives at most one unit (four bytes give two), so the text fits in s.size().
  Text text(s.size(), u'\0');
  text.resize(decodeUtf8Into(s, text.data(), bad));
  return text;
}

char16_t replacementFor(unsigned char) { return 0xFFFD; }

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// UTF-16 to UTF-8; lone(unit, out) writes what stands for an unpaired surrogate.
template <typename Lone>
void encodeUtf8Onto(std::string& out, std::u16string_view s, Lone lone) {
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      lone(s[i], out);
      continue;
    }
    appendUtf8(out, cp);
  }
}

template <typename Lone>
std::string encodeUtf8(std::u16string_view s, Lone lone) {
  std::string out;
  out.reserve(s.size());
  encodeUtf8Onto(out, s, lone);
  return out;
}

void replaceLone(char16_t, std::string& out) { appendUtf8(out, 0xFFFD); }

}  // namespace

Text fromUtf8(std::string_view s) { return decodeUtf8(s, replacementFor); }

size_t fromUtf8Into(std::string_view s, char16_t* out) {
  return decodeUtf8Into(s, out, replacementFor);
}

std::string toUtf8(std::u16string_view s) { return encodeUtf8(s, replaceLone); }

void appendToUtf8(std::string& out, std::u16string_view s) { encodeUtf8Onto(out, s, replaceLone); }

Text fromUtf8Escaped(std::string_view s) {
  return decodeUtf8(s, [](unsigned char c) { return static_cast<char16_t>(0xDC00 + c); });
}

std::string toUtf8Escaped(std::u16string_view s) {
  return encodeUtf8(s, [](char16_t unit, std::string& out) {
    if (unit >= 0xDC80 && unit <= 0xDCFF) {
      out.push_back(static_cast<char>(unit - 0xDC00));
    } else {
      appendUtf8(out, 0xFFFD);
    }
  });
}

std::string toUtf8(const Text& s) { return toUtf8(std::u16string_view(s)); }

std::u16string_view trimmedView(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= 32) ++b;
  while (e > b && s[e - 1] <= 32) --e;
  return s.substr(b, e - b);
}

bool equalUpperAscii(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upperAscii(a[i]) != upperAscii(b[i])) return false;
  return true;
}

Text trim(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= 32) ++b;
  while (e > b && s[e - 1] <= 32) --e;
  return Text(s.substr(b, e - b));
}

Text upperAscii(std::u16string_view s) {
  Text out(s);
  for (auto& c : out) c = upperAscii(c);
  return out;
}

Text extensionUpper(std::u16string_view path) {
  const size_t dot = path.find_last_of(u'.');
  const size_t sep = path.find_last_of(u"\\/:");
  if (dot == std::u16string_view::npos || (sep != std::u16string_view::npos && dot < sep))
    return {};
  return upperAscii(path.substr(dot));
}

bool parseInt(std::u16string_view s, int* out) {
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) neg = s[i++] == u'-';
  if (i >= s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < u'0' || s[i] > u'9') return false;
    v = v * 10 + (s[i] - u'0');
    if (v > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (neg) v = -v;
  if (v > INT_MAX || v < INT_MIN) return false;
  *out = static_cast<int>(v);
  return true;
}

int parseIntOr(std::u16string_view s, int def) {
  int v;
  return parseInt(s, &v) ? v : def;
}

std::string joinUtf8Lines(const TextList& lines) {
  std::string out;
  for (const auto& l : lines) {
    out += toUtf8(l);
    out += '\n';
  }
  return out;
}

}  // namespace nokari
