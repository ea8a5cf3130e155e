#include "source/scanner.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

namespace nokari {

namespace {

// Where the scanner stands between two characters.
struct StripState {
  bool inString = false;
  bool inBlock = false;
  bool escaped = false;       // the last character was a backslash inside a string
  bool skip = false;          // the character is the "|" of a ";|" just met
  size_t openBar = SIZE_MAX;  // where on this line that "|" stands: it closes nothing
};

enum class Strip { Keep, Drop, EndLine };

// What stripComments does with character p of s: keeps it in the code line (a TAB as a space),
// drops it, or drops the rest of the line (a line comment). The rules are the reader's: inside
// a string a backslash escapes the next character; inside ";| ... |;" nothing but its "|;"
// counts; outside both, ";|" opens a comment block and any other ";" a line comment.
inline Strip stripStep(std::u16string_view s, size_t p, StripState& st) {
  const char16_t c = s[p];
  if (st.skip) {
    st.skip = false;
    return Strip::Drop;
  }
  if (st.inString) {
    if (st.escaped) {
      st.escaped = false;
    } else if (c == u'\\') {
      st.escaped = true;
    } else if (c == u'"') {
      st.inString = false;
    }
    return Strip::Drop;
  }
  if (st.inBlock) {
    if (c == u';' && p > 0 && s[p - 1] == u'|' && p - 1 != st.openBar) st.inBlock = false;
    return Strip::Drop;
  }
  if (c == u'"') {
    st.inString = true;
    return Strip::Drop;
  }
  if (c == u';') {
    if (p + 1 < s.size() && s[p + 1] == u'|') {
      st.inBlock = true;
      st.skip = true;
      st.openBar = p + 1;
      return Strip::Drop;
    }
    return Strip::EndLine;
  }
  return Strip::Keep;
}

}  // namespace

namespace {

constexpr std::uint64_t kLanes = 0x0001000100010001ULL;

// True when one of the four code units in w is zero.
inline bool hasZeroUnit(std::uint64_t w) { return (w - kLanes) & ~w & (kLanes << 15); }

// The end of the run of characters from p on that are none of the four stripComments looks
// at (a quote, a semicolon, a TAB, a backslash): four code units tested at a time.
inline const char16_t* plainRunEnd(const char16_t* p, const char16_t* end) {
  while (end - p >= 4) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    if (hasZeroUnit(w ^ (kLanes * u'"')) || hasZeroUnit(w ^ (kLanes * u';')) ||
        hasZeroUnit(w ^ (kLanes * u'\t')) || hasZeroUnit(w ^ (kLanes * u'\\')))
      break;
    p += 4;
  }
  while (p < end && *p != u'"' && *p != u';' && *p != u'\t' && *p != u'\\') ++p;
  return p;
}

}  // namespace

void stripComments(const Lines& sourceLines, Lines& codeLines, Progress* bar, int stageSteps) {
  Stage stage(bar, sourceLines.size(), stageSteps);
  CommentStripper strip;
  // A code line is never longer than its source line.
  codeLines.reserve(codeLines.size() + sourceLines.size(),
                    codeLines.textSize() + sourceLines.textSize());
  for (size_t i = 0; i < sourceLines.size(); ++i) {
    stage.before(i);
    strip.append(sourceLines[i], codeLines);
  }
}

void CommentStripper::append(std::u16string_view s, Lines& codeLines) {
  StripState st{inString_, inBlock_, escaped_, false};
  const std::uint32_t line = line_++;
  codeLines.appendWritten(s.size(), [&](char16_t* const begin) {
    char16_t* out = begin;
    const char16_t* const first = s.data();
    const char16_t* const end = first + s.size();
    for (const char16_t* p = first; p < end; ++p) {
      // Runs of other characters are kept whole, or dropped whole inside a string or a
      // comment block; a character that an escape or a ";|" governs is looked at alone.
      if (!st.escaped && !st.skip) {
        const char16_t* const run = plainRunEnd(p, end);
        if (!st.inBlock && !st.inString) {
          std::memcpy(out, p, static_cast<size_t>(run - p) * sizeof(char16_t));
          out += run - p;
        }
        if ((p = run) == end) break;
      }
      const char16_t c = *p;
      const bool wasString = st.inString, wasBlock = st.inBlock;
      const size_t at = static_cast<size_t>(p - first);
      const Strip what = stripStep(s, at, st);
      if (marks_) {
        const auto col = static_cast<std::uint32_t>(out - begin);
        if (st.inString && !wasString) {
          marks_->push_back({line, col, true, line, static_cast<std::uint32_t>(at), line,
                             static_cast<std::uint32_t>(at)});
        } else if (wasString && !st.inString && !marks_->empty()) {
          marks_->back().endLine = line;
          marks_->back().endCol = static_cast<std::uint32_t>(at);
        } else if (st.inBlock && !wasBlock) {
          marks_->push_back({line, col, false, line, static_cast<std::uint32_t>(at), line,
                             static_cast<std::uint32_t>(at)});
        }
      }
      if (what == Strip::EndLine) break;
      if (what == Strip::Keep) *out++ = c == u'\t' ? u' ' : c;
    }
    return static_cast<size_t>(out - begin);
  });
  inString_ = st.inString;
  inBlock_ = st.inBlock;
  escaped_ = st.escaped;
}

SourceColumns::SourceColumns(const Lines& sourceLines, int lastLine) : lines_(sourceLines) {
  const size_t n = std::min(sourceLines.size(), static_cast<size_t>(std::max(lastLine + 1, 0)));
  starts_.reserve(n);
  StripState st;
  for (size_t i = 0; i < n; ++i) {
    starts_.push_back(static_cast<unsigned char>(st.inString | st.inBlock << 1 | st.escaped << 2));
    const std::u16string_view s = sourceLines[i];
    for (size_t p = 0; p < s.size() && stripStep(s, p, st) != Strip::EndLine; ++p) {
    }
    st.skip = false;
    st.openBar = SIZE_MAX;
  }
}

int SourceColumns::sourceColumn(int line, int col) const {
  if (line < 0 || static_cast<size_t>(line) >= starts_.size() || col < 1) return col;
  const std::u16string_view s = lines_[static_cast<size_t>(line)];
  const unsigned char start = starts_[static_cast<size_t>(line)];
  StripState st{(start & 1) != 0, (start & 2) != 0, (start & 4) != 0, false};
  int kept = 0;
  for (size_t p = 0; p < s.size(); ++p) {
    const Strip what = stripStep(s, p, st);
    if (what == Strip::EndLine) break;
    if (what == Strip::Keep && ++kept == col) return static_cast<int>(p) + 1;
  }
  return col;
}

bool listStartAfter(const Lines& codeLines, size_t line, size_t pos, CodePos* start) {
  if (pos < codeLines[line].size()) {
    *start = {line, pos + 1};
    return true;
  }
  size_t j = line + 1;
  while (j < codeLines.size() && codeLines[j].empty()) ++j;
  if (j >= codeLines.size()) return false;
  *start = {j, 1};
  return true;
}

bool listEndBefore(const Lines& codeLines, size_t line, size_t pos, CodePos* end) {
  if (pos > 1) {
    *end = {line, pos - 1};
    return true;
  }
  size_t j = line;
  while (j > 0 && codeLines[j - 1].empty()) --j;
  if (j == 0) return false;
  *end = {j - 1, codeLines[j - 1].size()};
  return true;
}

Text joinedCodeText(const Lines& codeLines, CodePos a, CodePos b) {
  Text out;
  if (a.line == b.line) {
    if (b.pos >= a.pos) out = codeLines[a.line].substr(a.pos - 1, b.pos - a.pos + 1);
  } else if (a.line < b.line) {
    out = codeLines[a.line].substr(std::min(a.pos - 1, codeLines[a.line].size()));
    for (size_t j = a.line + 1; j < b.line; ++j) {
      out += u' ';
      out += codeLines[j];
    }
    out += u' ';
    out += codeLines[b.line].substr(0, b.pos);
  }
  return out;
}

namespace {

// The text of the parameter list of the defun whose "(" stands at (startLine, startCol), up to
// its "/" or ")"; nothing when the list cannot be resolved. The list is the first thing after
// the word defun and the name; "nil" or anything else there declares nothing.
std::optional<Text> defunParamList(const Lines& codeLines, int startLine, int startCol) {
  int counter = 0, words = 0;
  bool inWord = false;
  CodePos start, end;
  bool haveStart = false, haveEnd = false, failed = false;
  walkCodeFrom(codeLines, startLine, startCol, [&](size_t k, size_t p, char16_t c) {
    if (counter < 2) {
      if (counter == 0) {
        if (c == u'(') counter = 1;
        return Walk::Next;
      }
      if (c <= 32) {
        inWord = false;
      } else if (c == u'(' && words == 2) {
        counter = 2;
        haveStart = listStartAfter(codeLines, k, p, &start);
        failed = !haveStart;
      } else if (c == u'(' || c == u')' || c == u'\'') {
        failed = true;
      } else if (!inWord) {
        inWord = true;
        failed = ++words > 2;
      }
    } else if (c == u'(') {
      failed = true;
    } else if (c == u'/' || c == u')') {
      haveEnd = listEndBefore(codeLines, k, p, &end);
      failed = !haveEnd;
      return Walk::Stop;
    }
    return failed ? Walk::Stop : Walk::Next;
  });
  if (failed || !haveStart || !haveEnd) return std::nullopt;
  return joinedCodeText(codeLines, start, end);
}

}  // namespace

Text getDefunParams(const Lines& codeLines, int startLine, int startCol) {
  Text result;
  if (const std::optional<Text> list = defunParamList(codeLines, startLine, startCol))
    forEachCommaItem(*list, [&](std::u16string_view item) { result.append(item).append(u"\r\n"); });
  return result;
}

Text defunParamsOnOneLine(const Lines& codeLines, int startLine, int startCol) {
  Text out;
  if (const std::optional<Text> list = defunParamList(codeLines, startLine, startCol))
    forEachCommaItem(*list, [&](std::u16string_view item) { out.append(item).append(1, u' '); });
  return out;
}

void appendTrimmedDefunParams(Text& out, const Lines& codeLines, int startLine, int startCol) {
  const std::optional<Text> list = defunParamList(codeLines, startLine, startCol);
  if (!list) return;
  const size_t from = out.size();
  forEachCommaItem(*list, [&](std::u16string_view item) { out.append(item).append(1, u' '); });
  const std::u16string_view kept = trimmedView(std::u16string_view(out).substr(from));
  const size_t lead = static_cast<size_t>(kept.data() - (out.data() + from));
  out.resize(from + lead + kept.size());
  out.erase(from, lead);
}

TextList splitCommaText(std::u16string_view text) {
  TextList items;
  forEachCommaItem(text, [&](std::u16string_view item) { items.emplace_back(item); });
  return items;
}

}  // namespace nokari
