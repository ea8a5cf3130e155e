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
  std::vector<bool> empty_;  // per open object or array: nothing in it yet
  bool afterKey_ = false;
};

}  // namespace nokari
