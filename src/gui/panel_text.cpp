#include "gui/panel_text.h"

#include <algorithm>

namespace nokari {

namespace {

bool isBreak(char16_t c) { return c == u'\r' || c == u'\n'; }
bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// Columns of a line in a fixed-pitch font with tab stops every eight columns.
size_t cells(std::u16string_view s) {
  size_t n = 0;
  for (char16_t c : s) {
    if (c == u'\t')
      n = (n / 8 + 1) * 8;
    else if (isLowSurrogate(c))
      continue;
    else
      n += c >= 0x1100 && !(c >= 0xFF61 && c <= 0xFFDC) ? 2 : 1;
  }
  return n;
}

}  // namespace

void PanelText::assign(const TextList& lines) {
  size_t total = 0;
  for (const Text& l : lines) total += l.size() + 2;
  whole_.clear();
  whole_.reserve(total);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) whole_ += u"\r\n";
    whole_ += lines[i];
  }
  index();
}

void PanelText::assign(std::u16string_view whole) {
  whole_.assign(whole);
  index();
}

void PanelText::index() {
  starts_.assign(1, 0);
  for (size_t i = 0; i < whole_.size(); ++i) {
    const char16_t c = whole_[i];
    if (!isBreak(c)) continue;
    if (c == u'\r' && i + 1 < whole_.size() && whole_[i + 1] == u'\n') ++i;
    starts_.push_back(static_cast<uint32_t>(i + 1));
  }
  widest_ = 0;
  size_t most = 0;
  for (size_t l = 0; l < starts_.size(); ++l) {
    const std::u16string_view s = line(l);
    // No line of n code units takes more than 2n columns, tabs apart: most lines need no count.
    if (s.size() * 2 <= most && s.find(u'\t') == std::u16string_view::npos) continue;
    const size_t n = cells(s);
    if (n > most) {
      most = n;
      widest_ = l;
    }
  }
}

size_t PanelText::lineStart(size_t line) const {
  return line < starts_.size() ? starts_[line] : whole_.size();
}

std::u16string_view PanelText::line(size_t line) const {
  if (line >= starts_.size()) return {};
  const size_t from = starts_[line];
  size_t to = whole_.size();
  if (line + 1 < starts_.size()) {
    // Back over the line's own break: CR LF, or a single CR or LF.
    to = starts_[line + 1] - 1;
    if (whole_[to] == u'\n' && to > from && whole_[to - 1] == u'\r') --to;
  }
  return std::u16string_view(whole_).substr(from, to - from);
}

size_t PanelText::lineOf(size_t offset) const {
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<size_t>(after - starts_.begin()) - 1;
}

size_t PanelText::clamp(size_t offset) const {
  offset = std::min(offset, whole_.size());
  const size_t l = lineOf(offset);
  offset = std::min(offset, lineEnd(l));
  if (offset > lineStart(l) && offset < whole_.size() && isLowSurrogate(whole_[offset]) &&
      isHighSurrogate(whole_[offset - 1]))
    --offset;
  return offset;
}

size_t PanelText::next(size_t offset) const {
  offset = clamp(offset);
  const size_t l = lineOf(offset);
  if (offset == lineEnd(l)) return l + 1 < lineCount() ? lineStart(l + 1) : offset;
  return clamp(offset + (isHighSurrogate(whole_[offset]) ? 2 : 1));
}

size_t PanelText::previous(size_t offset) const {
  offset = clamp(offset);
  const size_t l = lineOf(offset);
  if (offset == lineStart(l)) return l > 0 ? lineEnd(l - 1) : 0;
  return clamp(offset - 1);
}

size_t PanelText::nextWord(size_t offset) const {
  offset = clamp(offset);
  const size_t l = lineOf(offset);
  const size_t end = lineEnd(l);
  if (offset == end) return next(offset);
  while (offset < end && !isBlank(whole_[offset])) ++offset;
  while (offset < end && isBlank(whole_[offset])) ++offset;
  return offset;
}

size_t PanelText::previousWord(size_t offset) const {
  offset = clamp(offset);
  const size_t l = lineOf(offset);
  const size_t start = lineStart(l);
  if (offset == start) return previous(offset);
  while (offset > start && isBlank(whole_[offset - 1])) --offset;
  while (offset > start && !isBlank(whole_[offset - 1])) --offset;
  return offset;
}

std::pair<size_t, size_t> PanelText::wordAt(size_t offset) const {
  offset = clamp(offset);
  const size_t l = lineOf(offset);
  const size_t start = lineStart(l), end = lineEnd(l);
  if (start == end) return {start, start};
  // At the line's end the character before it is the one pointed at.
  if (offset == end) --offset;
  const bool blank = isBlank(whole_[offset]);
  size_t from = offset, to = offset;
  while (from > start && isBlank(whole_[from - 1]) == blank) --from;
  while (to < end && isBlank(whole_[to]) == blank) ++to;
  if (!blank)
    while (to < end && isBlank(whole_[to])) ++to;
  return {from, to};
}

}  // namespace nokari
