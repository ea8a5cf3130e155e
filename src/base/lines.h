// Lines: a file's lines held in one buffer, read as views.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace nokari {

// One allocation for the text and one for the places of the lines, where a list of strings
// costs an allocation and a string header per line: a large file's lines take little more
// than its decoded text. A view stays valid until the Lines is changed or destroyed.
class Lines {
 public:
  class Iterator;
  using value_type = std::u16string_view;

  Lines() { starts_.push_back(0); }
  // The same lines copied in (tests and small inputs).
  Lines(const TextList& list);  // NOLINT(google-explicit-constructor): a list reads as lines
  Lines(std::initializer_list<std::u16string_view> list);

  // The lines of text split at CR LF, LF or CR, a final line ending adding no empty line; the
  // text itself becomes the buffer, breaks and all.
  static Lines split(Text text);

  size_t size() const { return breaks_.size(); }
  bool empty() const { return breaks_.empty(); }
  std::u16string_view operator[](size_t i) const {
    return {text_.data() + starts_[i], starts_[i + 1] - starts_[i] - breaks_[i]};
  }
  std::u16string_view front() const { return (*this)[0]; }
  std::u16string_view back() const { return (*this)[size() - 1]; }
  Iterator begin() const;
  Iterator end() const;

  // Room for lines lines of chars code units in all, for a run of appends.
  void reserve(size_t lines, size_t chars);
  void push_back(std::u16string_view line);
  // Appends a line of up to maxLength code units written by fill(char16_t* out), which returns
  // how many it wrote: the line is made in place, with no string of its own.
  template <class Fill>
  void appendWritten(size_t maxLength, Fill fill) {
    const size_t at = starts_.back();
    makeRoom(at + maxLength);
    starts_.push_back(at + fill(text_.data() + at));
    breaks_.push_back(0);
  }
  void clear();

  // The lines as strings, for comparisons in tests and for the panel.
  TextList toList() const;
  // The code units the lines and their breaks take.
  size_t textSize() const { return starts_.back(); }

  friend bool operator==(const Lines& a, const Lines& b);

 private:
  // Grows the buffer to at least n code units (its size is its capacity: the lines end at
  // starts_.back()).
  void makeRoom(size_t n) {
    if (text_.size() < n) text_.resize(std::max(n, text_.size() * 2));
  }

  Text text_;
  std::vector<size_t> starts_;        // size() + 1: where each line starts, then the end
  std::vector<std::uint8_t> breaks_;  // the code units of each line's break (0, 1 or 2)
};

class Lines::Iterator {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using value_type = std::u16string_view;
  using difference_type = std::ptrdiff_t;
  using pointer = void;
  using reference = std::u16string_view;

  Iterator() = default;
  Iterator(const Lines* lines, size_t i) : lines_(lines), i_(i) {}
  std::u16string_view operator*() const { return (*lines_)[i_]; }
  std::u16string_view operator[](difference_type n) const { return (*lines_)[i_ + n]; }
  Iterator& operator++() { return ++i_, *this; }
  Iterator operator++(int) { return {lines_, i_++}; }
  Iterator& operator--() { return --i_, *this; }
  Iterator operator--(int) { return {lines_, i_--}; }
  Iterator& operator+=(difference_type n) { return i_ += n, *this; }
  Iterator& operator-=(difference_type n) { return i_ -= n, *this; }
  friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
  friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
  friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
  friend difference_type operator-(const Iterator& a, const Iterator& b) {
    return static_cast<difference_type>(a.i_) - static_cast<difference_type>(b.i_);
  }
  friend bool operator==(const Iterator& a, const Iterator& b) { return a.i_ == b.i_; }
  friend auto operator<=>(const Iterator& a, const Iterator& b) { return a.i_ <=> b.i_; }

 private:
  const Lines* lines_ = nullptr;
  size_t i_ = 0;
};

inline Lines::Iterator Lines::begin() const { return {this, 0}; }
inline Lines::Iterator Lines::end() const { return {this, size()}; }

}  // namespace nokari
