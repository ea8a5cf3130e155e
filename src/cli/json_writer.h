// A JSON document written as it goes: two spaces per level, one member or item per line.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "base/text.h"

namespace nokari {

class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out_(out) {}
  // Writes items of an array that another writer has open, items standing depth levels deep;
  // that writer places them with items(). Threads can so write parts of one document.
  JsonWriter(std::string& out, int depth)
      : out_(out), base_(depth - 1), empty_{true}, part_(true) {}

  JsonWriter& beginObject() { return open('{'); }
  JsonWriter& endObject() { return close('}'); }
  JsonWriter& beginArray() { return open('['); }
  JsonWriter& endArray() { return close(']'); }
  // A member's name (ASCII); its value follows.
  JsonWriter& key(std::string_view name);
  // A code unit that is not part of a valid pair is written as \uXXXX, so nothing is lost:
  // a POSIX file name byte that is not UTF-8 (U+DC80..U+DCFF, see fromUtf8Escaped) reads back
  // as Python's "surrogateescape" does.
  JsonWriter& string(std::u16string_view text);
  JsonWriter& string(std::string_view utf8) { return string(fromUtf8(utf8)); }
  JsonWriter& string(const char* utf8) { return string(std::string_view(utf8)); }
  JsonWriter& number(long long n);
  JsonWriter& boolean(bool b);
  // Items written by a JsonWriter(out, depth) for the array open here; nothing when empty.
  JsonWriter& items(std::string_view written);

  template <typename T>
  JsonWriter& member(std::string_view name, const T& value) {
    key(name);
    if constexpr (std::is_same_v<T, bool>) {
      return boolean(value);
    } else if constexpr (std::is_integral_v<T>) {
      return number(value);
    } else {
      return string(value);
    }
  }

 private:
  JsonWriter& open(char bracket);
  JsonWriter& close(char bracket);
  void beforeValue();
  void newLine();

  std::string& out_;
  int base_ = 0;             // the levels open in another writer
  std::vector<bool> empty_;  // per open object or array: nothing in it yet
  bool afterKey_ = false;
  bool part_ = false;  // writing items for another writer
};

}  // namespace nokari
