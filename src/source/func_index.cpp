#include "source/func_index.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/collate.h"
#include "source/scanner.h"

namespace nokari {

namespace {

bool blankLine(std::u16string_view s) {
  for (char16_t c : s)
    if (c > 32) return false;
  return true;
}

// ",n" for each value, as the record texts write their numbers.
void appendNumbers(Text& out, std::initializer_list<int> values) {
  for (int v : values) {
    char buf[16];
    const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    out += u',';
    out.append(buf, end);
  }
}

// The one item splitCommaText reads from name within a record: name without the blanks at
// its ends, when what is left holds no blank, comma or NUL and starts with no quote. Empty
// when it reads otherwise.
std::u16string_view plainItem(std::u16string_view name) {
  auto blank = [](char16_t c) { return c >= 1 && c <= 32; };
  size_t b = 0, e = name.size();
  while (b < e && blank(name[b])) ++b;
  while (e > b && blank(name[e - 1])) --e;
  if (b == e || name[b] == u'"') return {};
  for (size_t k = b; k < e; ++k)
    if (name[k] <= 32 || name[k] == u',') return {};
  return name.substr(b, e - b);
}

// A nested defun waiting for its enclosing one to close.
struct PendingNested {
  Text entry;  // "name,line,col": the end of its record text, and the key it is sorted by
  size_t nameSize = 0;
  int line = 0, col = 0;
};

// The text from the "(DEFUN " at 1-based position c up to the next "(" on the line; false,
// leaving name alone, when no "(" follows.
bool nameAfterDefun(std::u16string_view line, size_t c, Text* name) {
  const size_t paren = line.find(u'(', c + 6);
  if (paren == std::u16string_view::npos) return false;
  *name = line.substr(c + 6, paren - (c + 6));
  return true;
}

// The fields are what splitCommaText gives for the text, so they read exactly as the text
// always has, odd names included.
FuncRecord readRecord(Text text) {
  FuncRecord r;
  const TextList items = splitCommaText(text);
  r.text = std::move(text);
  if (items.size() == 6) {
    r.kind = FuncKind::TopLevel;
    r.setFieldsApart(items[0], {}, false);
    r.endLine = toIntDef(items[4], -1);
    r.endCol = toIntDef(items[5], -1);
  } else if (items.size() == 4) {
    r.kind = FuncKind::Nested;
    r.setFieldsApart(items[1], items[0], false);
  }
  if (r.kind != FuncKind::Other) {
    r.startLine = toIntDef(items[2], -1);
    r.startCol = toIntDef(items[3], 0);
  } else if (items.size() > 4) {
    r.setFieldsApart({}, items[0], true);
  }
  return r;
}

}  // namespace

void FuncRecord::setFieldsApart(std::u16string_view name, std::u16string_view enclosing,
                                bool otherDefines) {
  apart_.assign(name).append(enclosing);
  name_ = {0, uint32(name.size()), true};
  enclosing_ = {uint32(name.size()), uint32(enclosing.size()), true};
  otherDefines_ = otherDefines;
}

size_t findDefun(std::u16string_view line) {
  static constexpr char16_t kWord[] = u"(DEFUN ";
  constexpr size_t kLen = 7;
  if (line.size() < kLen) return 0;
  for (size_t i = 0; i + kLen <= line.size(); ++i) {
    if (line[i] != u'(') continue;
    size_t k = 1;
    while (k < kLen && upperAscii(line[i + k]) == kWord[k]) ++k;
    if (k == kLen) return i + 1;
  }
  return 0;
}

namespace {

// makeFuncIndex's walk, fed one code line at a time.
class FuncIndexer {
 public:
  FuncIndexer(FuncIndex& funcIndex, bool withIndent)
      : funcIndex_(funcIndex), indent_(withIndent ? kIndentText : u"") {}
  // Code line i; lines come in order from 0.
  void line(size_t i, std::u16string_view line);

 private:
  void close(int endLine, int endCol);

  FuncIndex& funcIndex_;
  std::u16string_view indent_;
  bool inDefun_ = false;
  long long openCount_ = 0, closeCount_ = 0;
  int defunLine_ = -1;
  size_t defunPos_ = 0;  // 1-based
  Text defunName_;
  std::vector<PendingNested> pending_;
};

void FuncIndexer::line(size_t i, std::u16string_view line) {
  if (blankLine(line)) return;
  const size_t c = findDefun(line);
  if (inDefun_) {
    PendingNested n;
    if (c > 0 && nameAfterDefun(line, c, &n.entry)) {
      n.nameSize = n.entry.size();
      n.line = static_cast<int>(i);
      n.col = static_cast<int>(c - 1);
      appendNumbers(n.entry, {n.line, n.col});
      pending_.push_back(std::move(n));
    }
  } else {
    defunLine_ = static_cast<int>(i);
    defunPos_ = c;
    if (c > 0 && nameAfterDefun(line, c, &defunName_)) {
      inDefun_ = true;
      openCount_ = closeCount_ = 0;
      pending_.clear();
    }
  }
  if (!inDefun_) return;
  const size_t from = static_cast<int>(i) == defunLine_ ? defunPos_ : 1;
  for (size_t p = from; p <= line.size(); ++p) {
    const char16_t ch = line[p - 1];
    if (ch == u'(') {
      ++openCount_;
    } else if (ch == u')') {
      ++closeCount_;
    } else {
      continue;
    }
    if (openCount_ > 0 && openCount_ == closeCount_) {
      close(static_cast<int>(i), static_cast<int>(p) - 1);
      return;
    }
  }
}

void FuncIndexer::close(int endLine, int endCol) {
  Text record = defunName_;
  record += u',';
  record += indent_;
  const int startCol = static_cast<int>(defunPos_) - 1;
  appendNumbers(record, {defunLine_, startCol, endLine, endCol});
  // Plain names read back as they were written: the fields are known without reading.
  const std::u16string_view outer = plainItem(defunName_);
  if (outer.empty()) {
    funcIndex_.push_back(readRecord(std::move(record)));
  } else {
    FuncRecord& r = funcIndex_.emplace_back();
    r.text = std::move(record);
    r.kind = FuncKind::TopLevel;
    r.setNameInText(static_cast<size_t>(outer.data() - defunName_.data()), outer.size());
    r.startLine = defunLine_;
    r.startCol = startCol;
    r.endLine = endLine;
    r.endCol = endCol;
  }
  std::stable_sort(pending_.begin(), pending_.end(),
                   [](const PendingNested& a, const PendingNested& b) {
                     return compareTextIgnoreCase(a.entry, b.entry) < 0;
                   });
  for (const PendingNested& n : pending_) {
    Text text;
    text.reserve(defunName_.size() + 1 + n.entry.size());
    text.append(defunName_).append(1, u',').append(n.entry);
    const std::u16string_view inner = plainItem(std::u16string_view(n.entry).substr(0, n.nameSize));
    if (outer.empty() || inner.empty()) {
      funcIndex_.push_back(readRecord(std::move(text)));
      continue;
    }
    FuncRecord& r = funcIndex_.emplace_back();
    r.text = std::move(text);
    r.kind = FuncKind::Nested;
    r.setNameInText(defunName_.size() + 1 + static_cast<size_t>(inner.data() - n.entry.data()),
                    inner.size());
    r.setEnclosingInText(static_cast<size_t>(outer.data() - defunName_.data()), outer.size());
    r.startLine = n.line;
    r.startCol = n.col;
  }
  pending_.clear();
  inDefun_ = false;
  openCount_ = closeCount_ = 0;
}

}  // namespace

void makeFuncIndex(const Lines& codeSL, FuncIndex& funcIndex, int stageSteps, Progress* bar,
                   bool withIndent) {
  if (codeSL.empty()) return;
  funcIndex.clear();
  Stage stage(bar, codeSL.size(), stageSteps);
  FuncIndexer indexer(funcIndex, withIndent);
  for (size_t i = 0; i < codeSL.size(); ++i) {
    stage.before(i);
    indexer.line(i, codeSL[i]);
  }
}

void makeCodeAndFuncIndex(const Lines& lspSL, Lines& codeSL, FuncIndex& funcIndex, int stageSteps,
                          Progress* bar, bool withIndent) {
  if (lspSL.empty()) {
    if (bar) bar->setPosition(0);
    return;
  }
  funcIndex.clear();
  Stage stage(bar, lspSL.size(), stageSteps);
  CommentStripper strip;
  FuncIndexer indexer(funcIndex, withIndent);
  // A code line is never longer than its source line.
  codeSL.reserve(lspSL.size(), lspSL.textSize());
  for (size_t i = 0; i < lspSL.size(); ++i) {
    stage.before(i);
    strip.append(lspSL[i], codeSL);
    indexer.line(i, codeSL.back());
  }
}

std::vector<size_t> sortedFuncOrder(const FuncIndex& index) {
  // The texts, copied side by side, are sorted with their places: texts spread over the heap
  // make a large index's comparisons wait for memory.
  size_t total = 0;
  for (const FuncRecord& r : index) total += r.text.size();
  Text texts;
  texts.reserve(total);
  for (const FuncRecord& r : index) texts += r.text;
  // Most comparisons are settled by the texts' collation keys, without reading the texts.
  struct Item {
    CollationKey key;
    std::uint32_t at, size, place;  // the text in texts, and the record's place
  };
  std::vector<Item> order;
  order.reserve(index.size());
  const std::u16string_view all(texts);
  for (size_t i = 0, at = 0; i < index.size(); at += index[i].text.size(), ++i) {
    const size_t size = index[i].text.size();
    order.push_back({collationKey(all.substr(at, size)), static_cast<std::uint32_t>(at),
                     static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(i)});
  }
  std::stable_sort(order.begin(), order.end(), [&](const Item& a, const Item& b) {
    if (a.key != b.key) return a.key < b.key;
    return compareTextIgnoreCase(all.substr(a.at, a.size), all.substr(b.at, b.size)) < 0;
  });
  std::vector<size_t> places;
  places.reserve(order.size());
  for (const Item& item : order) places.push_back(item.place);
  return places;
}

void sortFuncIndex(FuncIndex& index) { arrangeFuncIndex(index, sortedFuncOrder(index)); }

void arrangeFuncIndex(FuncIndex& index, const std::vector<size_t>& order) {
  // Each record is moved once.
  FuncIndex arranged;
  arranged.reserve(order.size());
  for (size_t i : order) arranged.push_back(std::move(index[i]));
  index = std::move(arranged);
}

TextList recordTexts(const FuncIndex& index) {
  TextList texts;
  texts.reserve(index.size());
  for (const FuncRecord& r : index) texts.push_back(r.text);
  return texts;
}

}  // namespace nokari
