#include "base/lines.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace nokari {

Lines::Lines(const TextList& list) {
  size_t chars = 0;
  for (const Text& l : list) chars += l.size();
  reserve(list.size(), chars);
  for (const Text& l : list) push_back(l);
}

Lines::Lines(std::initializer_list<std::u16string_view> list) {
  for (std::u16string_view l : list) push_back(l);
}

Lines::Lines(const Lines& other)
    : text_(new char16_t[other.textSize()]),
      capacity_(other.textSize()),
      starts_(other.starts_),
      breaks_(other.breaks_) {
  std::copy_n(other.text_.get(), other.textSize(), text_.get());
}

Lines& Lines::operator=(const Lines& other) {
  if (this != &other) *this = Lines(other);
  return *this;
}

Lines Lines::split(std::u16string_view text) {
  return splitWritten(text.size(), [&](char16_t* out) { return text.copy(out, text.size()); });
}

void Lines::splitBuffer(size_t n) {
  const std::u16string_view t(text_.get(), n);
  openEnd();
  starts_.reserve(t.size() / 24 + 2);
  breaks_.reserve(t.size() / 24 + 1);
  const char16_t* const begin = t.data();
  const char16_t* const end = begin + t.size();
  for (const char16_t* p = begin; p < end; ++p) {
    // Both line-break characters are below 14; most characters are not. Four code units
    // without one are passed at once.
    while (end - p >= 4) {
      std::uint64_t w;
      std::memcpy(&w, p, 8);
      if ((w - 0x000E000E000E000EULL) & ~w & 0x8000800080008000ULL) break;
      p += 4;
    }
    if (p == end) break;
    if (*p > u'\r' || (*p != u'\r' && *p != u'\n')) continue;
    std::uint8_t brk = 1;
    if (*p == u'\r' && p + 1 < end && p[1] == u'\n') ++p, brk = 2;
    starts_.push_back(static_cast<std::uint32_t>(p + 1 - begin));
    breaks_.push_back(brk);
  }
  if (starts_.back() < t.size()) {
    starts_.push_back(static_cast<std::uint32_t>(t.size()));
    breaks_.push_back(0);
  }
}

void Lines::grow(size_t n) {
  if (n > kMaxText) throw std::length_error("Lines: more than 4 Gi code units");
  n = std::min(std::max(n, capacity_ * 2), kMaxText);
  std::unique_ptr<char16_t[]> bigger(new char16_t[n]);
  std::copy_n(text_.get(), textSize(), bigger.get());
  text_ = std::move(bigger);
  capacity_ = n;
}

void Lines::reserve(size_t lines, size_t chars) {
  makeRoom(chars);
  openEnd();
  starts_.reserve(lines + 1);
  breaks_.reserve(lines);
}

void Lines::push_back(std::u16string_view line) {
  const size_t at = openEnd();
  makeRoom(at + line.size());
  line.copy(text_.get() + at, line.size());
  starts_.push_back(at + line.size());
  breaks_.push_back(0);
}

void Lines::clear() {
  starts_.clear();
  breaks_.clear();
}

TextList Lines::toList() const {
  TextList out;
  out.reserve(size());
  for (std::u16string_view l : *this) out.emplace_back(l);
  return out;
}

bool operator==(const Lines& a, const Lines& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

}  // namespace nokari
