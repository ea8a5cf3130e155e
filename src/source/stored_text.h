// The settings and history files as read, so that writing one back changes only what the
// program changed: the same encoding, the same line endings, every other line byte for byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "platform/code_page.h"

namespace nokari {

enum class StoredEncoding { Ansi, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// How a line ends in the file; None only for a last line without a line break.
enum class LineEnd { CrLf, Lf, Cr, None };

class StoredText {
 public:
  // A new, empty file: ANSI with CR LF, as the program has always created them.
  StoredText() = default;

  // Decodes a stored file: a byte-order mark names the encoding; otherwise text that is all
  // ASCII or not valid UTF-8 is ANSI, and other valid UTF-8 is UTF-8 without a mark.
  static StoredText decode(std::string_view bytes, const CodePage& ansi);
  // The file's bytes: the lines with their own line endings, in the file's encoding. ANSI text
  // that the code page cannot hold exactly is written as UTF-16 LE with a mark instead.
  std::string encode(const CodePage& ansi) const;

  // True when encode gives back exactly the bytes this was decoded from: only such a file may
  // be written back. A file with NUL bytes and no mark (UTF-16 without one, or not text) and
  // ANSI bytes the code page does not map one to one are not exact.
  bool exact() const { return exact_; }

  const TextList& lines() const { return lines_; }
  StoredEncoding encoding() const { return encoding_; }

  void setLine(size_t i, Text text) { lines_[i] = std::move(text); }
  // Inserts a line before index i (i == size appends), ending as the file's lines mostly end.
  void insertLine(size_t i, Text text);
  // Replaces every line; each ends as the file's lines mostly ended.
  void replaceLines(TextList lines);

 private:
  LineEnd usualEnd() const;

  TextList lines_;
  std::vector<LineEnd> ends_;
  StoredEncoding encoding_ = StoredEncoding::Ansi;
  bool exact_ = true;
};

}  // namespace nokari
