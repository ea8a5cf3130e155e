// Lines: a file's lines held in one buffer, read as views.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>
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

  Lines() = default;
  // The same lines copied in (tests and small inputs).
  Lines(const TextList& list);  // NOLINT(google-explicit-constructor): a list reads as lines
  Lines(std::initializer_list<std::u16string_view> list);
  Lines(const Lines& other);
  Lines& operator=(const Lines& other);
  // A Lines moved from is empty.
  Lines(Lines&& other) noexcept { swap(other); }
  Lines& operator=(Lines&& other) noexcept {
    Lines gone(std::move(other));
    swap(gone);
    return *this;
  }
  void swap(Lines& other) noexcept {
    text_.swap(other.text_);
    std::swap(capacity_, other.capacity_);
    starts_.swap(other.starts_);
    breaks_.swap(other.breaks_);
  }

  // The lines of text split at CR LF, LF or CR, a final line ending adding no empty line.
  static Lines split(std::u16string_view text);
  // The same for the text of up to maxLength code units that fill(char16_t* out) writes
  // straight into the buffer, returning how many it wrote (a decoder's output, not copied).
  template <class Fill>
  static Lines splitWritten(size_t maxLength, Fill fill) {
    Lines lines;
    lines.makeRoom(maxLength);
    lines.splitBuffer(fill(lines.text_.get()));
    return lines;
  }

  size_t size() const { return breaks_.size(); }
  bool empty() const { return breaks_.empty(); }
  std::u16string_view operator[](size_t i) const {
    return {text_.get() + starts_[i], starts_[i + 1] - starts_[i] - breaks_[i]};
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
    const size_t at = openEnd();
    makeRoom(at + maxLength);
    starts_.push_back(static_cast<std::uint32_t>(at + fill(text_.get() + at)));
    breaks_.push_back(0);
  }
  void clear();

  // The lines as strings, for comparisons in tests and for the panel.
  TextList toList() const;
  // The code units the lines and their breaks take.
  size_t textSize() const { return starts_.empty() ? 0 : starts_.back(); }

  friend bool operator==(const Lines& a, const Lines& b);

 private:
  // Grows the buffer to at least n code units. Its room is left unwritten until a line is
  // written there: a large buffer costs memory only as far as it is used.
  void makeRoom(size_t n) {
    if (capacity_ < n) grow(n);
  }
  static constexpr size_t kMaxText = UINT32_MAX;
  // Room for n code units or more; std::length_error past kMaxText, as a string throws past
  // its max_size.
  void grow(size_t n);
  // Where the next line starts; the first one starts the list of starts.
  std::uint32_t openEnd() {
    if (starts_.empty()) starts_.push_back(0);
    return starts_.back();
  }
  // Finds the lines of the first n code units of the buffer (the only ones yet).
  void splitBuffer(size_t n);

  std::unique_ptr<char16_t[]> text_;
  size_t capacity_ = 0;
  // size() + 1 (or none): each line's start, then the end. Offsets of 32 bits: a file is read
  // only up to 256 MiB, far fewer code units.
  std::vector<std::uint32_t> starts_;
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
