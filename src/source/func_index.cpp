#include "source/func_index.h"

#include <cstdio>

#include "source/scanner.h"
#include "platform/collate.h"

namespace nokari {

namespace {

bool blankLine(const Text& s) {
  for (char16_t c : s)
    if (c > 32) return false;
  return true;
}

Text numbers(std::initializer_list<int> values) {
  Text out;
  for (int v : values) {
    char buf[16];
    std::snprintf(buf, sizeof buf, ",%d", v);
    out += fromAscii(buf);
  }
  return out;
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

void makeFuncIndex(const TextList& codeSL, FuncIndex& funcIndex, int stageSteps, Progress* bar,
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
  TextList pending;

  for (size_t i = 0; i < codeSL.size(); ++i) {
    stage.before(i);
    const Text& line = codeSL[i];
    if (blankLine(line)) continue;
    if (inDefun) {
      size_t c = findDefun(line);
      if (c > 0) {
        size_t paren = line.find(u'(', c + 6);
        if (paren != Text::npos) {
          Text entry = line.substr(c + 6, paren - (c + 6));
          entry += numbers({static_cast<int>(i), static_cast<int>(c - 1)});
          pending.push_back(std::move(entry));
        }
      }
    } else {
      size_t c = findDefun(line);
      defunLine = static_cast<int>(i);
      defunPos = c;
      if (c > 0) {
        size_t paren = line.find(u'(', c + 6);
        if (paren != Text::npos) {
          defunName = line.substr(c + 6, paren - (c + 6));
          inDefun = true;
          openCount = closeCount = 0;
          pending.clear();
        }
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
        record += numbers({defunLine, static_cast<int>(defunPos) - 1, static_cast<int>(i),
                           static_cast<int>(p) - 1});
        funcIndex.push_back(std::move(record));
        sortTextIgnoreCase(pending);
        for (const Text& entry : pending) funcIndex.push_back(defunName + u"," + entry);
        pending.clear();
        inDefun = false;
        openCount = closeCount = 0;
        break;
      }
    }
  }
}

int FuncRecord::number(size_t k, int def) const {
  if (k == 0 || k > items.size()) return def;
  return toIntDef(items[k - 1], def);
}

FuncRecord readFuncRecord(std::u16string_view record) { return FuncRecord{splitCommaText(record)}; }

}  // namespace nokari
