#include "checks/symbols.h"

#include <algorithm>
#include <unordered_set>

#include "source/func_index.h"
#include "source/scanner.h"

namespace nokari {

namespace {

bool isBlank(std::u16string_view s) {
  for (char16_t c : s)
    if (c > 32) return false;
  return true;
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A place in the code lines: 0-based line, 1-based position.
struct Pos {
  size_t line = 0;
  size_t pos = 0;
};

// The text from a to b inclusive: one line, or the pieces of several lines joined by spaces.
Text joinedText(const TextList& code, Pos a, Pos b) {
  Text out;
  if (a.line == b.line) {
    if (b.pos >= a.pos) out = code[a.line].substr(a.pos - 1, b.pos - a.pos + 1);
  } else if (a.line < b.line) {
    out = code[a.line].substr(std::min(a.pos - 1, code[a.line].size()));
    for (size_t j = a.line + 1; j < b.line; ++j) {
      out += u' ';
      out += code[j];
    }
    out += u' ';
    out += code[b.line].substr(0, b.pos);
  }
  return out;
}

}  // namespace

Text maskCallHeads(std::u16string_view s) {
  Text t(s);
  const size_t n = s.size();
  bool head = false;
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = s[i];
    if ((head && c == u' ') || c == u')') {
      t[i] = u' ';
      head = false;
    }
    // "( " and "'(" do not start a call head.
    if (!head && c == u'(' && !(i + 1 < n && s[i + 1] == u' ') && !(i > 0 && s[i - 1] == u'\''))
      head = true;
    if (head) t[i] = u' ';
  }
  return t;
}

Text maskQuoted(std::u16string_view s) {
  Text t(s);
  bool quoted = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if ((quoted && c == u' ') || c == u')') {
      t[i] = u' ';
      quoted = false;
    }
    if (!quoted && c == u'\'') quoted = true;
    if (quoted) t[i] = u' ';
    if (c == u'(') t[i] = u' ';
  }
  return t;
}

bool isNumberText(std::u16string_view s) {
  size_t i = 0;
  const size_t n = s.size();
  if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
  size_t digits = 0;
  while (i < n && isDigit(s[i])) ++i, ++digits;
  if (i < n && s[i] == u'.') {
    ++i;
    while (i < n && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
    size_t exp = 0;
    while (i < n && isDigit(s[i])) ++i, ++exp;
    if (exp == 0) return false;
  }
  return i == n;
}

bool isVariableCandidate(std::u16string_view name, const JogaiList& jogai) {
  const Text upper = upperAscii(name);
  if (!jogai.empty() && jogai.contains(upper)) return false;
  return !isNumberText(upper);
}

TextList getDefunLocals(const TextList& codeSL, int startLine, int startCol) {
  if (startLine < 0 || static_cast<size_t>(startLine) >= codeSL.size()) return {};
  int open = 0;
  Pos start, end;
  bool haveStart = false, haveEnd = false;
  for (size_t k = static_cast<size_t>(startLine); k < codeSL.size() && !haveEnd; ++k) {
    const Text& line = codeSL[k];
    const size_t len = line.size();
    long long first = k == static_cast<size_t>(startLine) ? static_cast<long long>(startCol) + 1 : 1;
    if (first < 1) first = 1;
    for (size_t p = static_cast<size_t>(first); p <= len; ++p) {
      const char16_t c = line[p - 1];
      if (c == u'(') {
        if (++open > 2) return {};
      } else if (open == 2 && c == u'/') {
        if (p == len) {
          size_t j = k + 1;
          while (j < codeSL.size() && codeSL[j].empty()) ++j;
          if (j >= codeSL.size()) return {};
          start = {j, 1};
        } else {
          start = {k, p + 1};
        }
        haveStart = true;
      } else if (open == 2 && c == u')') {
        if (p == 1) {
          size_t j = k;
          while (j > 0 && codeSL[j - 1].empty()) --j;
          if (j == 0) return {};
          end = {j - 1, codeSL[j - 1].size()};
        } else {
          end = {k, p - 1};
        }
        // Without a "/" seen the rest of this line is passed over; a later "(" gives up.
        if (haveStart) haveEnd = true;
        break;
      }
    }
  }
  if (!haveStart || !haveEnd) return {};
  TextList locals = splitCommaText(joinedText(codeSL, start, end));
  sortTextIgnoreCase(locals);
  return locals;
}

TextList defunBodyRegion(const TextList& codeSL, int startLine, int startCol) {
  if (startLine < 0 || static_cast<size_t>(startLine) >= codeSL.size()) return {};
  long long open = 0, close = 0;
  Pos start, end;
  bool haveStart = false, haveEnd = false;
  for (size_t k = static_cast<size_t>(startLine); k < codeSL.size() && !haveEnd; ++k) {
    const Text& line = codeSL[k];
    long long first = k == static_cast<size_t>(startLine) ? static_cast<long long>(startCol) + 1 : 1;
    if (first < 1) first = 1;
    for (size_t p = static_cast<size_t>(first); p <= line.size(); ++p) {
      const char16_t c = line[p - 1];
      if (c == u'(') ++open;
      if (c == u')') ++close;
      // The body starts where the parameter list closes. (Letting the start move on while
      // the counts stay put would drop the words before the body's first parenthesis, and
      // turn a body without one, "(defun f (abc) abc)", into the phantom name "c".)
      if (open == 2 && close == 1 && !haveStart) {
        start = {k, p};
        haveStart = true;
      }
      if (open == close) {
        end = {k, p};
        haveEnd = true;
        break;
      }
    }
  }
  if (!haveStart || !haveEnd) return {};
  TextList region;
  if (start.line == end.line) {
    const Text& line = codeSL[start.line];
    region.push_back(end.pos >= start.pos ? line.substr(start.pos - 1, end.pos - start.pos + 1)
                                          : Text());
  } else {
    region.push_back(codeSL[start.line].substr(start.pos - 1));
    for (size_t j = start.line + 1; j < end.line; ++j) region.push_back(codeSL[j]);
    region.push_back(codeSL[end.line].substr(0, end.pos));
  }
  return region;
}

void maskNestedDefuns(TextList& region) {
  long long open = 0, close = 0;
  bool masking = false;
  for (Text& line : region) {
    if (isBlank(line)) continue;
    size_t from = 1;
    if (size_t g = findDefun(line)) {
      masking = true;
      from = g;
    }
    if (!masking) continue;
    for (size_t p = from; p <= line.size(); ++p) {
      const char16_t c = line[p - 1];
      if (c == u'(') ++open;
      if (c == u')') ++close;
      if (open == close) {
        masking = false;
        open = close = 0;
      }
      // The rest of the line where the nested defun closes goes with it.
      line[p - 1] = u' ';
    }
  }
}

void appendLineWords(std::u16string_view line, TextList& words) {
  if (isBlank(line)) return;
  for (Text& w : splitCommaText(maskQuoted(maskCallHeads(line)))) words.push_back(std::move(w));
}

TextList symbolSet(TextList words, const JogaiList& jogai) {
  // Exact repeats go first (cheap); then a stable sort brings the words that are equal
  // ignoring case together, the first one met at the head of each run.
  std::unordered_set<std::u16string_view> seen;
  TextList distinct;
  distinct.reserve(words.size());
  for (Text& w : words)
    if (seen.insert(w).second) distinct.push_back(w);
  sortTextIgnoreCase(distinct);
  TextList out;
  for (size_t i = 0; i < distinct.size();) {
    size_t j = i + 1;
    while (j < distinct.size() && compareTextIgnoreCase(distinct[i], distinct[j]) == 0) ++j;
    if (isVariableCandidate(distinct[i], jogai)) out.push_back(std::move(distinct[i]));
    i = j;
  }
  return out;
}

TextList regionSymbols(std::span<const Text> lines, const JogaiList& jogai) {
  TextList words;
  for (const Text& line : lines) appendLineWords(line, words);
  return symbolSet(std::move(words), jogai);
}

TextList collectOwnBodySymbols(const TextList& codeSL, int startLine, int startCol,
                               const JogaiList& jogai) {
  TextList region = defunBodyRegion(codeSL, startLine, startCol);
  maskNestedDefuns(region);
  return regionSymbols(region, jogai);
}

TextList collectBodySymbols(const TextList& codeSL, int startLine, int startCol,
                            const JogaiList& jogai) {
  return regionSymbols(defunBodyRegion(codeSL, startLine, startCol), jogai);
}

TextList collectRangeSymbols(const TextList& codeSL, int first, int last, const JogaiList& jogai) {
  if (first < 0) first = 0;
  if (last >= static_cast<int>(codeSL.size())) last = static_cast<int>(codeSL.size()) - 1;
  if (last < first) return {};
  return regionSymbols(std::span<const Text>(codeSL).subspan(first, last - first + 1), jogai);
}

}  // namespace nokari
