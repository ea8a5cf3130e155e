// The results panel's text as its control holds it: one string with the offset of every
// line's start. A report of hundreds of thousands of lines goes in without anything being
// measured per line; only the lines in view are ever drawn.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text.h"

namespace nokari {

class PanelText {
 public:
  PanelText() { assign(std::u16string_view()); }

  // The lines joined by CR LF (none after the last).
  void assign(const TextList& lines);
  // A whole text whose lines end in CR LF, LF or CR; offsets count in it as given.
  void assign(std::u16string_view whole);

  const Text& whole() const { return whole_; }
  size_t size() const { return whole_.size(); }
  // At least one: an empty text is one empty line.
  size_t lineCount() const { return starts_.size(); }
  size_t lineStart(size_t line) const;
  // The line without its break.
  std::u16string_view line(size_t line) const;
  size_t lineEnd(size_t line) const { return lineStart(line) + this->line(line).size(); }
  // The line that holds the offset; an offset inside a line break belongs to the line before.
  size_t lineOf(size_t offset) const;

  // The offset kept within the text, off a line break's inside and a surrogate pair's middle.
  size_t clamp(size_t offset) const;
  // One character on or back, a line break and a surrogate pair counting as one.
  size_t next(size_t offset) const;
  size_t previous(size_t offset) const;
  // The start of the next word, or of the word before (Ctrl with the arrow keys).
  size_t nextWord(size_t offset) const;
  size_t previousWord(size_t offset) const;
  // What a double-click on the character at the offset selects: a run of blanks, or a run of
  // other characters with the blanks after it. [first, second) within one line.
  std::pair<size_t, size_t> wordAt(size_t offset) const;

  // The line that takes the most room in a fixed-pitch font (wide characters count twice, a
  // tab reaches the next multiple of eight): the one to measure for the horizontal extent.
  size_t widestLine() const { return widest_; }

 private:
  void index();
  Text whole_;
  std::vector<uint32_t> starts_;
  size_t widest_ = 0;
};

}  // namespace nokari
