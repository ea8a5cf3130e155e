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
  Text name;
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
    r.name = items[0];
    r.endLine = toIntDef(items[4], -1);
    r.endCol = toIntDef(items[5], -1);
  } else if (items.size() == 4) {
    r.kind = FuncKind::Nested;
    r.name = items[1];
    r.enclosing = items[0];
  }
  if (r.kind != FuncKind::Other) {
    r.startLine = toIntDef(items[2], -1);
    r.startCol = toIntDef(items[3], 0);
  } else if (items.size() > 4) {
    r.otherDefinedName = items[0];
  }
  return r;
}

}  // namespace

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

void makeFuncIndex(const Lines& codeSL, FuncIndex& funcIndex, int stageSteps, Progress* bar,
                   bool withIndent) {
  if (codeSL.empty()) return;
  funcIndex.clear();
  Stage stage(bar, codeSL.size(), stageSteps);
  const Text indent = withIndent ? Text(kIndentText) : Text();

  bool inDefun = false;
  long long openCount = 0, closeCount = 0;
  int defunLine = -1;
  size_t defunPos = 0;  // 1-based
  Text defunName;
  std::vector<PendingNested> pending;

  for (size_t i = 0; i < codeSL.size(); ++i) {
    stage.before(i);
    const std::u16string_view line = codeSL[i];
    if (blankLine(line)) continue;
    const size_t c = findDefun(line);
    if (inDefun) {
      Text name;
      if (c > 0 && nameAfterDefun(line, c, &name)) {
        PendingNested n{name, std::move(name), static_cast<int>(i), static_cast<int>(c - 1)};
        appendNumbers(n.entry, {n.line, n.col});
        pending.push_back(std::move(n));
      }
    } else {
      defunLine = static_cast<int>(i);
      defunPos = c;
      if (c > 0 && nameAfterDefun(line, c, &defunName)) {
        inDefun = true;
        openCount = closeCount = 0;
        pending.clear();
      }
    }
    if (!inDefun) continue;
    const size_t from = static_cast<int>(i) == defunLine ? defunPos : 1;
    for (size_t p = from; p <= line.size(); ++p) {
      const char16_t c = line[p - 1];
      if (c == u'(') {
        ++openCount;
      } else if (c == u')') {
        ++closeCount;
      } else {
        continue;
      }
      if (openCount > 0 && openCount == closeCount) {
        Text record = defunName;
        record += u',';
        record += indent;
        const int startCol = static_cast<int>(defunPos) - 1;
        appendNumbers(record, {defunLine, startCol, static_cast<int>(i), static_cast<int>(p) - 1});
        // Plain names read back as they were written: the fields are known without reading.
        const std::u16string_view outer = plainItem(defunName);
        if (outer.empty()) {
          funcIndex.push_back(readRecord(std::move(record)));
        } else {
          FuncRecord& r = funcIndex.emplace_back();
          r.text = std::move(record);
          r.kind = FuncKind::TopLevel;
          r.name = outer;
          r.startLine = defunLine;
          r.startCol = startCol;
          r.endLine = static_cast<int>(i);
          r.endCol = static_cast<int>(p) - 1;
        }
        std::stable_sort(pending.begin(), pending.end(),
                         [](const PendingNested& a, const PendingNested& b) {
                           return compareTextIgnoreCase(a.entry, b.entry) < 0;
                         });
        for (const PendingNested& n : pending) {
          Text text = defunName + u"," + n.entry;
          const std::u16string_view inner = plainItem(n.name);
          if (outer.empty() || inner.empty()) {
            funcIndex.push_back(readRecord(std::move(text)));
            continue;
          }
          FuncRecord& r = funcIndex.emplace_back();
          r.text = std::move(text);
          r.kind = FuncKind::Nested;
          r.name = inner;
          r.enclosing = Text(outer);
          r.startLine = n.line;
          r.startCol = n.col;
        }
        pending.clear();
        inDefun = false;
        openCount = closeCount = 0;
        break;
      }
    }
  }
}

void sortFuncIndex(FuncIndex& index) {
  // The texts, copied side by side, are sorted with their places, and each record is moved
  // once: a record is large to move, and texts spread over the heap make a large index's
  // comparisons wait for memory.
  size_t total = 0;
  for (const FuncRecord& r : index) total += r.text.size();
  Text keys;
  keys.reserve(total);
  for (const FuncRecord& r : index) keys += r.text;
  std::vector<std::pair<std::u16string_view, size_t>> order;
  order.reserve(index.size());
  for (size_t i = 0, at = 0; i < index.size(); at += index[i].text.size(), ++i)
    order.emplace_back(std::u16string_view(keys).substr(at, index[i].text.size()), i);
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
    return compareTextIgnoreCase(a.first, b.first) < 0;
  });
  FuncIndex sorted;
  sorted.reserve(index.size());
  for (const auto& [text, i] : order) sorted.push_back(std::move(index[i]));
  index = std::move(sorted);
}

TextList recordTexts(const FuncIndex& index) {
  TextList texts;
  texts.reserve(index.size());
  for (const FuncRecord& r : index) texts.push_back(r.text);
  return texts;
}

}  // namespace nokari
