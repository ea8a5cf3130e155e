#include "base/lines.h"

namespace nokari {

Lines::Lines(const TextList& list) {
  size_t chars = 0;
  for (const Text& l : list) chars += l.size();
  starts_.push_back(0);
  reserve(list.size(), chars);
  for (const Text& l : list) push_back(l);
}

Lines::Lines(std::initializer_list<std::u16string_view> list) {
  starts_.push_back(0);
  for (std::u16string_view l : list) push_back(l);
}

Lines Lines::split(Text text) {
  Lines lines;
  lines.text_ = std::move(text);
  const std::u16string_view t = lines.text_;
  lines.starts_.reserve(t.size() / 24 + 2);
  lines.breaks_.reserve(t.size() / 24 + 1);
  const char16_t* const begin = t.data();
  const char16_t* const end = begin + t.size();
  for (const char16_t* p = begin; p < end; ++p) {
    // Both line-break characters are below 14; most characters are not.
    if (*p > u'\r' || (*p != u'\r' && *p != u'\n')) continue;
    std::uint8_t brk = 1;
    if (*p == u'\r' && p + 1 < end && p[1] == u'\n') ++p, brk = 2;
    lines.starts_.push_back(static_cast<size_t>(p + 1 - begin));
    lines.breaks_.push_back(brk);
  }
  if (lines.starts_.back() < t.size()) {
    lines.starts_.push_back(t.size());
    lines.breaks_.push_back(0);
  }
  return lines;
}

void Lines::reserve(size_t lines, size_t chars) {
  makeRoom(chars);
  starts_.reserve(lines + 1);
  breaks_.reserve(lines);
}

void Lines::push_back(std::u16string_view line) {
  const size_t at = starts_.back();
  makeRoom(at + line.size());
  line.copy(text_.data() + at, line.size());
  starts_.push_back(at + line.size());
  breaks_.push_back(0);
}

void Lines::clear() {
  text_.clear();
  starts_.assign(1, 0);
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
