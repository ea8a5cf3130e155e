#include "cli/json_writer.h"

namespace nokari {

void JsonWriter::newLine() {
  out_ += '\n';
  out_.append((base_ + empty_.size()) * 2, ' ');
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (empty_.empty()) return;
  const bool first = empty_.back();
  if (!first) out_ += ',';
  empty_.back() = false;
  // The other writer's items() puts the first item on its line.
  if (!(part_ && first && empty_.size() == 1)) newLine();
}

JsonWriter& JsonWriter::items(std::string_view written) {
  if (written.empty()) return *this;
  beforeValue();
  out_ += written;
  return *this;
}

JsonWriter& JsonWriter::open(char bracket) {
  beforeValue();
  out_ += bracket;
  empty_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
  const bool wasEmpty = empty_.back();
  empty_.pop_back();
  if (!wasEmpty) newLine();
  out_ += bracket;
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
  beforeValue();
  out_ += '"';
  out_ += name;
  out_ += "\": ";
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::string(std::u16string_view text) {
  beforeValue();
  static const char kHex[] = "0123456789abcdef";
  auto escaped = [&](unsigned unit) {
    out_ += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out_ += kHex[(unit >> shift) & 0xF];
  };
  auto utf8 = [&](char32_t c) {
    if (c < 0x800) {
      out_ += static_cast<char>(0xC0 | (c >> 6));
    } else {
      if (c < 0x10000) {
        out_ += static_cast<char>(0xE0 | (c >> 12));
      } else {
        out_ += static_cast<char>(0xF0 | (c >> 18));
        out_ += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      }
      out_ += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    out_ += static_cast<char>(0x80 | (c & 0x3F));
  };
  out_ += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'"' || c == u'\\') {
      out_ += '\\';
      out_ += static_cast<char>(c);
    } else if (c == u'\n') {
      out_ += "\\n";
    } else if (c == u'\r') {
      out_ += "\\r";
    } else if (c == u'\t') {
      out_ += "\\t";
    } else if (c < 0x20) {
      escaped(c);
    } else if (c < 0x80) {
      out_ += static_cast<char>(c);
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
               text[i + 1] <= 0xDFFF) {
      utf8(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      escaped(c);
    } else {
      utf8(c);
    }
  }
  out_ += '"';
  return *this;
}

JsonWriter& JsonWriter::number(long long n) {
  beforeValue();
  out_ += std::to_string(n);
  return *this;
}

JsonWriter& JsonWriter::boolean(bool b) {
  beforeValue();
  out_ += b ? "true" : "false";
  return *this;
}

}  // namespace nokari
