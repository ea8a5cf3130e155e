#include "source/stored_text.h"

#include "source/decode.h"

namespace nokari {

namespace {

bool allAscii(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) > 0x7F) return false;
  return true;
}

std::u16string_view endText(LineEnd end) {
  switch (end) {
    case LineEnd::CrLf:
      return u"\r\n";
    case LineEnd::Lf:
      return u"\n";
    case LineEnd::Cr:
      return u"\r";
    case LineEnd::None:
      return u"";
  }
  return u"";
}

}  // namespace

StoredText StoredText::decode(std::string_view bytes, const CodePage& ansi) {
  StoredText t;
  Text text;
  const ByteOrderMark mark = byteOrderMark(bytes);
  if (mark != ByteOrderMark::None) {
    t.encoding_ = mark == ByteOrderMark::Utf8      ? StoredEncoding::Utf8Bom
                  : mark == ByteOrderMark::Utf16Le ? StoredEncoding::Utf16Le
                                                   : StoredEncoding::Utf16Be;
    text = decodeAfterMark(bytes, mark);
  } else if (!allAscii(bytes) && isValidUtf8(bytes)) {
    t.encoding_ = StoredEncoding::Utf8;
    text = fromUtf8(bytes);
  } else {
    t.encoding_ = StoredEncoding::Ansi;
    text = ansi.decode(bytes);
  }
  size_t b = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'\r' && c != u'\n') continue;
    t.lines_.emplace_back(text.substr(b, i - b));
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      t.ends_.push_back(LineEnd::CrLf);
      ++i;
    } else {
      t.ends_.push_back(c == u'\r' ? LineEnd::Cr : LineEnd::Lf);
    }
    b = i + 1;
  }
  if (b < text.size()) {
    t.lines_.emplace_back(text.substr(b));
    t.ends_.push_back(LineEnd::None);
  }
  const bool noMark = t.encoding_ == StoredEncoding::Ansi || t.encoding_ == StoredEncoding::Utf8;
  t.exact_ = !(noMark && bytes.find('\0') != std::string_view::npos) && t.encode(ansi) == bytes;
  return t;
}

std::string StoredText::encode(const CodePage& ansi) const {
  Text all;
  for (size_t i = 0; i < lines_.size(); ++i) {
    all += lines_[i];
    all += endText(ends_[i]);
  }
  StoredEncoding encoding = encoding_;
  if (encoding == StoredEncoding::Ansi) {
    if (auto bytes = ansi.encode(all)) return *bytes;
    encoding = StoredEncoding::Utf16Le;
  }
  std::string out;
  switch (encoding) {
    case StoredEncoding::Utf8:
      return toUtf8(all);
    case StoredEncoding::Utf8Bom:
      return "\xEF\xBB\xBF" + toUtf8(all);
    case StoredEncoding::Utf16Be:
      out = "\xFE\xFF";
      appendUtf16(out, all, true);
      return out;
    default:
      out = "\xFF\xFE";
      appendUtf16(out, all, false);
      return out;
  }
}

LineEnd StoredText::usualEnd() const {
  size_t count[3] = {0, 0, 0};
  for (LineEnd e : ends_)
    if (e != LineEnd::None) ++count[static_cast<int>(e)];
  if (count[1] > count[0] && count[1] >= count[2]) return LineEnd::Lf;
  if (count[2] > count[0] && count[2] > count[1]) return LineEnd::Cr;
  return LineEnd::CrLf;
}

void StoredText::insertLine(size_t i, Text text) {
  const LineEnd end = usualEnd();
  // The line before a new last line gets the break it lacked.
  if (i == lines_.size() && !ends_.empty() && ends_.back() == LineEnd::None) ends_.back() = end;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), std::move(text));
  ends_.insert(ends_.begin() + static_cast<std::ptrdiff_t>(i), end);
}

void StoredText::replaceLines(TextList lines) {
  const LineEnd end = usualEnd();
  lines_ = std::move(lines);
  ends_.assign(lines_.size(), end);
}

}  // namespace nokari
