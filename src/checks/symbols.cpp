#include "checks/symbols.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/collate.h"
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

}  // namespace

namespace {

// maskCallHeads into t (t's buffer is reused).
void maskCallHeadsInto(std::u16string_view s, Text& t) {
  t.assign(s);
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
}

// maskQuoted in place: it reads only the character it may overwrite.
void maskQuotedInPlace(Text& t) {
  bool quoted = false;
  for (char16_t& ch : t) {
    const char16_t c = ch;
    if ((quoted && c == u' ') || c == u')') {
      ch = u' ';
      quoted = false;
    }
    if (!quoted && c == u'\'') quoted = true;
    if (quoted) ch = u' ';
    if (c == u'(') ch = u' ';
  }
}

}  // namespace

Text maskCallHeads(std::u16string_view s) {
  Text t;
  maskCallHeadsInto(s, t);
  return t;
}

Text maskQuoted(std::u16string_view s) {
  Text t(s);
  maskQuotedInPlace(t);
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

bool isVariableCandidate(std::u16string_view name, const ExclusionList& exclusions) {
  const Text upper = upperAscii(name);
  if (!exclusions.empty() && exclusions.contains(upper)) return false;
  return !isNumberText(upper);
}

TextList getDefunLocals(const Lines& codeLines, int startLine, int startCol) {
  int open = 0;
  CodePos start, end;
  bool haveStart = false, haveEnd = false, failed = false;
  walkCodeFrom(codeLines, startLine, startCol, [&](size_t k, size_t p, char16_t c) {
    if (c == u'(') {
      failed = ++open > 2;
    } else if (open == 2 && c == u'/') {
      haveStart = listStartAfter(codeLines, k, p, &start);
      failed = !haveStart;
    } else if (open == 2 && c == u')') {
      if (!listEndBefore(codeLines, k, p, &end)) return Walk::Stop;
      // Without a "/" seen the rest of this line is passed over; a later "(" gives up.
      if (!haveStart) return Walk::SkipLine;
      haveEnd = true;
      return Walk::Stop;
    }
    return failed ? Walk::Stop : Walk::Next;
  });
  if (!haveStart || !haveEnd) return {};
  TextList locals = splitCommaText(joinedCodeText(codeLines, start, end));
  sortTextIgnoreCase(locals);
  return locals;
}

namespace {

// Where a defun's body lies: from the ")" that closes its parameter list to its own ")".
struct Region {
  CodePos start, end;
  bool ok = false;
};

Region findBodyRegion(const Lines& codeLines, int startLine, int startCol) {
  // walkCodeFrom's walk, with the characters between parentheses passed over quickly.
  Region r;
  if (startLine < 0 || static_cast<size_t>(startLine) >= codeLines.size()) return r;
  long long open = 0, close = 0;
  bool haveStart = false;
  for (size_t k = static_cast<size_t>(startLine); k < codeLines.size(); ++k) {
    const std::u16string_view line = codeLines[k];
    const long long first =
        k == static_cast<size_t>(startLine) ? static_cast<long long>(startCol) + 1 : 1;
    for (size_t p = static_cast<size_t>(std::max(first, 1LL)); p <= line.size(); ++p) {
      // While the counts differ, only a parenthesis changes anything.
      if (open != close) {
        while (p <= line.size() && line[p - 1] != u'(' && line[p - 1] != u')') ++p;
        if (p > line.size()) break;
      }
      const char16_t c = line[p - 1];
      if (c == u'(') ++open;
      if (c == u')') ++close;
      // The body starts where the parameter list closes. (Letting the start move on while
      // the counts stay put would drop the words before the body's first parenthesis, and
      // turn a body without one, "(defun f (abc) abc)", into the phantom name "c".)
      if (open == 2 && close == 1 && !haveStart) {
        r.start = {k, p};
        haveStart = true;
      }
      if (open != close) continue;
      r.end = {k, p};
      r.ok = haveStart;
      return r;
    }
  }
  return r;
}

// Calls f with each line of the region, as a view into the code lines.
template <class F>
void forEachRegionLine(const Lines& codeLines, const Region& r, F f) {
  if (!r.ok) return;
  const std::u16string_view first = codeLines[r.start.line];
  if (r.start.line == r.end.line) {
    f(r.end.pos >= r.start.pos ? first.substr(r.start.pos - 1, r.end.pos - r.start.pos + 1)
                               : std::u16string_view());
    return;
  }
  f(first.substr(r.start.pos - 1));
  for (size_t j = r.start.line + 1; j < r.end.line; ++j) f(codeLines[j]);
  f(codeLines[r.end.line].substr(0, r.end.pos));
}

// Blanks nested defuns line by line; the counts and the flag run on across lines.
class NestedMask {
 public:
  // The line with its nested defun parts blanked: the line itself when there are none.
  std::u16string_view apply(std::u16string_view line) {
    if (isBlank(line)) return line;
    size_t from = 1;
    if (size_t g = findDefun(line)) {
      masking_ = true;
      from = g;
    }
    if (!masking_) return line;
    buf_.assign(line);
    for (size_t p = from; p <= line.size(); ++p) {
      const char16_t c = line[p - 1];
      if (c == u'(') ++open_;
      if (c == u')') ++close_;
      if (open_ == close_) {
        masking_ = false;
        open_ = close_ = 0;
      }
      // The rest of the line where the nested defun closes goes with it.
      buf_[p - 1] = u' ';
    }
    return buf_;
  }

 private:
  long long open_ = 0, close_ = 0;
  bool masking_ = false;
  Text buf_;
};

constexpr std::uint64_t kFourSpaces = 0x0020002000200020ULL;

// The items of splitCommaText, as views where they can be.
template <class F>
void forEachItem(std::u16string_view text, F f) {
  // text holds no NUL: maskWordsInto ends it at the first, as the string-list reader would.
  const size_t n = text.size();
  auto blank = [](char16_t c) { return c >= 1 && c <= 32; };
  auto skipBlanks = [&](size_t& p) {
    // Masked text is mostly spaces: four are passed at once.
    for (std::uint64_t w; p + 4 <= n && (std::memcpy(&w, text.data() + p, 8), w == kFourSpaces);)
      p += 4;
    while (p < n && blank(text[p])) ++p;
  };
  size_t p = 0;
  skipBlanks(p);
  Text quoted;
  while (p < n) {
    if (text[p] == u'"') {
      quoted.clear();
      for (++p; p < n; ++p) {
        if (text[p] != u'"') {
          quoted += text[p];
        } else if (p + 1 < n && text[p + 1] == u'"') {
          quoted += u'"';
          ++p;
        } else {
          ++p;
          break;
        }
      }
      f(std::u16string_view(quoted));
    } else {
      const size_t b = p;
      while (p < n && text[p] > 32 && text[p] != u',') ++p;
      f(text.substr(b, p - b));
    }
    skipBlanks(p);
    if (p < n && text[p] == u',') {
      if (p + 1 == n) f(std::u16string_view());
      skipBlanks(++p);
    }
  }
}

// maskQuoted(maskCallHeads(s)) into t in one pass (t's buffer is reused), up to its first NUL.
void maskWordsInto(std::u16string_view s, Text& t) {
  const size_t n = s.size();
  t.resize(n);
  bool head = false, quoted = false;
  // Outside a call head and a quoted item, every character but these five stays as it is.
  auto plain = [](char16_t c) {
    return c > u')' || (c != u' ' && c != u'\'' && c != u'(' && c != u')' && c != 0);
  };
  for (size_t i = 0; i < n; ++i) {
    if (!head && !quoted) {
      while (i < n && plain(s[i])) {
        t[i] = s[i];
        ++i;
      }
      if (i == n) break;
    }
    // What maskCallHeads leaves at i ...
    const char16_t c = s[i];
    char16_t h = c;
    if ((head && c == u' ') || c == u')') {
      h = u' ';
      head = false;
    }
    if (!head && c == u'(' && !(i + 1 < n && s[i + 1] == u' ') && !(i > 0 && s[i - 1] == u'\''))
      head = true;
    if (head) h = u' ';
    // ... and what maskQuoted makes of that.
    char16_t q = h;
    if ((quoted && h == u' ') || h == u')') {
      q = u' ';
      quoted = false;
    }
    if (!quoted && h == u'\'') quoted = true;
    if (quoted || h == u'(') q = u' ';
    if (q == 0) {
      t.resize(i);
      return;
    }
    t[i] = q;
  }
}

// The words of a region, each kept once as first spelt. The words are copied into one
// buffer and found again through an open-addressed table of their places in it.
class WordSet {
 public:
  void addLine(std::u16string_view line) {
    if (isBlank(line)) return;
    maskWordsInto(line, masked_);
    forEachItem(masked_, [this](std::u16string_view w) { add(w); });
  }

  // Sorted, one of each group of names equal ignoring case (the first met), candidates only.
  TextList finish(const ExclusionList& exclusions) {
    std::vector<std::u16string_view> words;
    words.reserve(words_.size());
    for (const Word& w : words_) words.push_back(view(w));
    std::stable_sort(words.begin(), words.end(), [](std::u16string_view a, std::u16string_view b) {
      return compareTextIgnoreCase(a, b) < 0;
    });
    TextList out;
    Text upper;
    for (size_t i = 0; i < words.size();) {
      size_t j = i + 1;
      while (j < words.size() && compareTextIgnoreCase(words[i], words[j]) == 0) ++j;
      // isVariableCandidate with one buffer for the upper-cased name.
      upper.assign(words[i]);
      for (char16_t& c : upper) c = upperAscii(c);
      if (!(!exclusions.empty() && exclusions.contains(upper)) && !isNumberText(upper))
        out.emplace_back(words[i]);
      i = j;
    }
    return out;
  }

 private:
  struct Word {
    size_t at = 0, length = 0;
  };
  struct Slot {
    size_t hash = 0;
    int word = -1;  // index into words_, -1 for a free slot
  };

  std::u16string_view view(const Word& w) const { return {store_.data() + w.at, w.length}; }

  void add(std::u16string_view w) {
    if (2 * (words_.size() + 1) > slots_.size()) grow();
    const size_t hash = std::hash<std::u16string_view>{}(w);
    size_t i = hash & (slots_.size() - 1);
    for (; slots_[i].word >= 0; i = (i + 1) & (slots_.size() - 1))
      if (slots_[i].hash == hash && view(words_[slots_[i].word]) == w) return;
    slots_[i] = {hash, static_cast<int>(words_.size())};
    words_.push_back({store_.size(), w.size()});
    store_.append(w);
  }

  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    for (const Slot& s : old) {
      if (s.word < 0) continue;
      size_t i = s.hash & (slots_.size() - 1);
      while (slots_[i].word >= 0) i = (i + 1) & (slots_.size() - 1);
      slots_[i] = s;
    }
  }

  Text store_;
  std::vector<Word> words_;  // in the order first met
  std::vector<Slot> slots_;
  Text masked_;
};

}  // namespace

TextList defunBodyRegion(const Lines& codeLines, int startLine, int startCol) {
  TextList region;
  forEachRegionLine(codeLines, findBodyRegion(codeLines, startLine, startCol),
                    [&](std::u16string_view l) { region.emplace_back(l); });
  return region;
}

void maskNestedDefuns(TextList& region) {
  NestedMask mask;
  for (Text& line : region) line = Text(mask.apply(line));
}

TextList collectOwnBodySymbols(const Lines& codeLines, int startLine, int startCol,
                               const ExclusionList& exclusions) {
  WordSet words;
  NestedMask mask;
  forEachRegionLine(codeLines, findBodyRegion(codeLines, startLine, startCol),
                    [&](std::u16string_view l) { words.addLine(mask.apply(l)); });
  return words.finish(exclusions);
}

TextList collectBodySymbols(const Lines& codeLines, int startLine, int startCol,
                            const ExclusionList& exclusions) {
  WordSet words;
  forEachRegionLine(codeLines, findBodyRegion(codeLines, startLine, startCol),
                    [&](std::u16string_view l) { words.addLine(l); });
  return words.finish(exclusions);
}

TextList collectRangeSymbols(const Lines& codeLines, int first, int last,
                             const ExclusionList& exclusions) {
  if (first < 0) first = 0;
  if (last >= static_cast<int>(codeLines.size())) last = static_cast<int>(codeLines.size()) - 1;
  if (last < first) return {};
  WordSet words;
  for (int i = first; i <= last; ++i) words.addLine(codeLines[static_cast<size_t>(i)]);
  return words.finish(exclusions);
}

}  // namespace nokari
