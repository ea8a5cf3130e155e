// Small helpers shared by the tests.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "base/lines.h"
#include "base/text.h"

namespace nokari::test {

// Builds a line list from UTF-8 literals.
inline TextList lines(std::initializer_list<const char*> l) {
  TextList out;
  for (const char* s : l) out.push_back(fromUtf8(s));
  return out;
}

// UTF-8 view of a line list, for readable failure messages.
inline std::vector<std::string> utf8(const TextList& l) {
  std::vector<std::string> out;
  for (const auto& s : l) out.push_back(toUtf8(s));
  return out;
}

inline std::vector<std::string> utf8(const Lines& l) {
  std::vector<std::string> out;
  for (std::u16string_view s : l) out.push_back(toUtf8(s));
  return out;
}

inline std::string utf8(std::u16string_view s) { return toUtf8(s); }
inline std::string utf8(const Text& s) { return toUtf8(s); }

// A file's bytes; empty when it cannot be opened (ok, when given, tells which).
inline std::string fileBytes(const char* path, bool* ok = nullptr) {
  std::string bytes;
  std::FILE* f = std::fopen(path, "rb");
  if (ok) *ok = f != nullptr;
  if (!f) return bytes;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
  std::fclose(f);
  return bytes;
}

}  // namespace nokari::test
