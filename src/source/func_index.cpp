#include "source/func_index.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/collate.h"
#include "source/reader.h"
#include "source/scanner.h"

namespace nokari {

namespace {

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

// The fields are what splitCommaText gives for the text, so they read exactly as the text
// always has, odd names included.
FuncRecord readRecord(Text text) {
  FuncRecord r;
  const TextList items = splitCommaText(text);
  r.text = std::move(text);
  if (items.size() == 6) {
    r.kind = FuncKind::TopLevel;
    r.setFieldsApart(items[0], {}, false);
    r.endLine = parseIntOr(items[4], -1);
    r.endCol = parseIntOr(items[5], -1);
  } else if (items.size() == 4) {
    r.kind = FuncKind::Nested;
    r.setFieldsApart(items[1], items[0], false);
  }
  if (r.kind != FuncKind::Other) {
    r.startLine = parseIntOr(items[2], -1);
    r.startCol = parseIntOr(items[3], 0);
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

// Builds the records from the forms of the code lines: a defun that stands in no other one is
// a top-level function, every defun inside it at any depth a nested one of it.
class FuncIndexer {
 public:
  FuncIndexer(const Lines& code, FuncIndex& funcIndex, bool withIndent)
      : code_(code), funcIndex_(funcIndex), indent_(withIndent ? kIndentText : u"") {}
  void form(const Form& f);

 private:
  void close(const Form& f, std::uint32_t top);

  const Lines& code_;
  FuncIndex& funcIndex_;
  std::u16string_view indent_;
  std::vector<PendingNested> pending_;
};

// The name as the record writes it: on a line "(defun name (", the text between "(defun " and
// the "(" of the parameter list, blanks and all; else the name alone.
Text recordName(const Lines& code, const Form& f, const DefunParts& d) {
  const Node& list = f[d.list];
  const Node& name = f[d.name];
  const std::u16string_view line = code[list.line];
  const size_t from = list.col + 7;
  if (d.params != 0 && f[d.params].kind == NodeKind::List && f[d.params].line == list.line &&
      name.line == list.line && f[d.list + 1].col == list.col + 1 && from <= name.col &&
      line[list.col + 6] == u' ')
    return Text(line.substr(from, f[d.params].col - from));
  return Text(atomText(code, name));
}

void FuncIndexer::form(const Form& f) {
  const std::uint32_t n = static_cast<std::uint32_t>(f.size());
  std::uint32_t top = 0, topEnd = 0;
  bool inTop = false;
  for (std::uint32_t i = 0; i < n;) {
    if (inTop && i >= topEnd) {
      close(f, top);
      inTop = false;
    }
    if (isQuotedData(code_, f, i)) {
      i = f[i].next;
      continue;
    }
    DefunParts d;
    if (defunAt(code_, f, i, &d)) {
      if (!inTop) {
        inTop = true;
        top = i;
        topEnd = f[i].next;
        pending_.clear();
      } else if (f[i].closed()) {
        PendingNested p;
        p.entry = recordName(code_, f, d);
        p.nameSize = p.entry.size();
        p.line = static_cast<int>(f[i].line);
        p.col = static_cast<int>(f[i].col);
        appendNumbers(p.entry, {p.line, p.col});
        pending_.push_back(std::move(p));
      }
    }
    ++i;
  }
  if (inTop) close(f, top);
}

void FuncIndexer::close(const Form& f, std::uint32_t top) {
  // A function the file ends inside has no end: it gets no record, nor do those inside it.
  const Node& list = f[top];
  if (!list.closed()) {
    pending_.clear();
    return;
  }
  DefunParts d;
  defunAt(code_, f, top, &d);
  const Text defunName = recordName(code_, f, d);
  Text record = defunName;
  record += u',';
  record += indent_;
  const int startLine = static_cast<int>(list.line), startCol = static_cast<int>(list.col);
  const int endLine = static_cast<int>(list.endLine), endCol = static_cast<int>(list.endCol);
  appendNumbers(record, {startLine, startCol, endLine, endCol});
  // Plain names read back as they were written: the fields are known without reading.
  const std::u16string_view outer = plainItem(defunName);
  if (outer.empty()) {
    funcIndex_.push_back(readRecord(std::move(record)));
  } else {
    FuncRecord& r = funcIndex_.emplace_back();
    r.text = std::move(record);
    r.kind = FuncKind::TopLevel;
    r.setNameInText(static_cast<size_t>(outer.data() - defunName.data()), outer.size());
    r.startLine = startLine;
    r.startCol = startCol;
    r.endLine = endLine;
    r.endCol = endCol;
  }
  std::stable_sort(pending_.begin(), pending_.end(),
                   [](const PendingNested& a, const PendingNested& b) {
                     return compareTextIgnoreCase(a.entry, b.entry) < 0;
                   });
  for (const PendingNested& p : pending_) {
    Text text;
    text.reserve(defunName.size() + 1 + p.entry.size());
    text.append(defunName).append(1, u',').append(p.entry);
    const std::u16string_view inner = plainItem(std::u16string_view(p.entry).substr(0, p.nameSize));
    if (outer.empty() || inner.empty()) {
      funcIndex_.push_back(readRecord(std::move(text)));
      continue;
    }
    FuncRecord& r = funcIndex_.emplace_back();
    r.text = std::move(text);
    r.kind = FuncKind::Nested;
    r.setNameInText(defunName.size() + 1 + static_cast<size_t>(inner.data() - p.entry.data()),
                    inner.size());
    r.setEnclosingInText(static_cast<size_t>(outer.data() - defunName.data()), outer.size());
    r.startLine = p.line;
    r.startCol = p.col;
  }
  pending_.clear();
}

void indexForms(const Lines& code, const CodeMarks* marks, FuncIndex& funcIndex, bool withIndent) {
  FuncIndexer indexer(code, funcIndex, withIndent);
  FormReader reader(code, marks);
  Form form;
  while (reader.next(form)) indexer.form(form);
}

}  // namespace

bool isQuotedData(const Lines& code, const Form& f, std::uint32_t i) {
  const Node& n = f[i];
  std::uint32_t datum;
  if (n.kind == NodeKind::Quote) {
    datum = i + 1;
  } else if (n.kind == NodeKind::List && headIs(code, f, i, u"QUOTE")) {
    datum = i + 2;
  } else {
    return false;
  }
  // A quoted lambda is code all the same: (mapcar '(lambda (x) ...) l).
  return datum >= n.next || !headIs(code, f, datum, u"LAMBDA");
}

bool headIs(const Lines& code, const Form& f, std::uint32_t i, std::u16string_view upperWord) {
  if (i >= f.size() || f[i].kind != NodeKind::List || i + 1 >= f[i].next) return false;
  const Node& h = f[i + 1];
  return h.kind == NodeKind::Symbol && equalUpperAscii(atomText(code, h), upperWord);
}

bool defunAt(const Lines& code, const Form& f, std::uint32_t i, DefunParts* d) {
  if (!headIs(code, f, i, u"DEFUN")) return false;
  const std::uint32_t name = f[i + 1].next;
  if (name >= f[i].next || f[name].kind != NodeKind::Symbol) return false;
  d->list = i;
  d->name = name;
  d->params = f[name].next < f[i].next ? f[name].next : 0;
  return true;
}

void makeFuncIndex(const Lines& codeLines, FuncIndex& funcIndex, int stageSteps, Progress* bar,
                   bool withIndent) {
  if (codeLines.empty()) return;
  funcIndex.clear();
  Stage stage(bar, codeLines.size(), stageSteps);
  for (size_t i = 0; i < codeLines.size(); ++i) stage.before(i);
  indexForms(codeLines, nullptr, funcIndex, withIndent);
}

void makeCodeAndFuncIndex(const Lines& sourceLines, Lines& codeLines, FuncIndex& funcIndex,
                          int stageSteps, Progress* bar, bool withIndent, CodeMarks* marks) {
  if (sourceLines.empty()) {
    if (bar) bar->setPosition(0);
    return;
  }
  funcIndex.clear();
  Stage stage(bar, sourceLines.size(), stageSteps);
  CodeMarks own;
  CodeMarks* const kept = marks ? marks : &own;
  CommentStripper strip(kept);
  // A code line is never longer than its source line.
  codeLines.reserve(sourceLines.size(), sourceLines.textSize());
  for (size_t i = 0; i < sourceLines.size(); ++i) {
    stage.before(i);
    strip.append(sourceLines[i], codeLines);
  }
  indexForms(codeLines, kept, funcIndex, withIndent);
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
