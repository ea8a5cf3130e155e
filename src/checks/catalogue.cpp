#include "checks/catalogue.h"

#include "source/decode.h"
#include "source/func_index.h"
#include "source/scanner.h"

namespace nokari {

namespace {

bool isCommentLine(std::u16string_view line) {
  size_t i = 0;
  while (i < line.size() && line[i] <= 32) ++i;
  return i < line.size() && line[i] == u';';
}

// The name of a file without its folder.
Text namePart(const Text& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == Text::npos ? path : path.substr(slash + 1);
}

// A rule such as "-----" or "=====": one character repeated.
bool isRule(const Text& t) { return t.find_first_not_of(t[0]) == Text::npos; }

}  // namespace

Text getHeadComment(const Lines& lines, int& startLine) {
  Text comment;
  if (startLine <= 0) return comment;
  const int n = static_cast<int>(lines.size());
  int i = std::min(startLine, n) - 1;
  while (i >= 0 && isCommentLine(lines[i])) --i;
  // A block that runs up to the first line of the file is not taken: no comment, and
  // startLine stays on the defun.
  if (i < 0) return comment;
  const int first = i + 1;
  for (int k = first; k < startLine && k < n; ++k) {
    Text t = trim(lines[k]);
    if (!t.empty()) {
      std::erase(t, u';');
      comment += u"  " + t;
    }
    if (k != startLine - 1) comment += u"\r\n";
  }
  startLine = first;
  return comment;
}

TextList makeCatalogue(const Lines& sourceLines, const Text& fileName, const Text& timeText,
                       Progress* bar) {
  TextList panel;
  Lines code;
  FuncIndex index;
  makeCodeAndFuncIndex(sourceLines, code, index, 100, bar, true);
  if (index.empty()) {
    if (bar) bar->setPosition(0);
    return panel;
  }
  sortFuncIndex(index);
  panel.push_back(u"■ LISP関数カタログ ******************************");
  panel.push_back(u" ファイル : " + namePart(fileName));
  panel.push_back(u" 作成日時 : " + timeText);
  panel.push_back(u"*********************************************** ■");
  for (const FuncRecord& r : index) {
    if (r.kind != FuncKind::TopLevel) continue;
    const int line = r.startLine;
    Text args = defunParamsOnOneLine(code, line, r.startCol);
    if (!args.empty() && args.back() == u' ') args.pop_back();
    const Text head = Text(r.name()) + u" " + args;
    panel.push_back(Text(50, u'-'));
    panel.push_back((holdsCommandMark(head) ? u"■ " : u"□ ") + head);
    int start = line;
    for (const Text& c : splitLines(getHeadComment(sourceLines, start))) {
      Text t = trim(c);
      if (!t.empty() && !isRule(t)) panel.push_back(u"\t" + t);
    }
  }
  if (bar) bar->setPosition(0);
  return panel;
}

}  // namespace nokari
