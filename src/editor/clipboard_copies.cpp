#include "editor/clipboard_copies.h"

#include "checks/catalogue.h"
#include "source/func_index.h"
#include "source/scanner.h"

namespace nokari {

namespace {

void replaceFirst(Text& text, std::u16string_view what, std::u16string_view with) {
  const size_t at = text.find(what);
  if (at != Text::npos) text.replace(at, what.size(), with);
}

// The function name of a node's text: the text before its parameter list.
Text nodeName(const Text& text) {
  const size_t paren = text.find(u'(');
  return paren == Text::npos ? text : trim(std::u16string_view(text).substr(0, paren));
}

}  // namespace

Text callTemplate(const Text& nodeText) {
  if (holdsCommandMark(nodeText)) return nodeText;
  Text call = nodeText;
  replaceFirst(call, u" (", u" ");
  replaceFirst(call, u" )", u")");
  return u"(" + call;
}

bool findCloseParen(const Lines& lines, int line, int column, int* endLine, int* endColumn) {
  *endLine = line;
  *endColumn = column;
  if (line < 0 || static_cast<size_t>(line) >= lines.size() || column < 0) return false;
  long long opens = 0, closes = 0;
  for (size_t k = static_cast<size_t>(line); k < lines.size(); ++k) {
    const std::u16string_view text = lines[k];
    for (size_t p = k == static_cast<size_t>(line) ? static_cast<size_t>(column) : 0;
         p < text.size(); ++p) {
      if (text[p] == u'(') ++opens;
      if (text[p] == u')') ++closes;
      if (opens > 0 && opens == closes) {
        *endLine = static_cast<int>(k);
        *endColumn = static_cast<int>(p);
        return true;
      }
    }
  }
  return false;
}

std::optional<Text> functionText(const Lines& sourceLines, const TreeNode& node,
                                 const TreeNode* parent) {
  const Text name = nodeName(node.text);
  const bool nested = node.level == 2;
  const Text outer = nested && parent ? nodeName(parent->text) : Text();
  const int nodeLine = node.line - 1;
  int start = nodeLine;
  getHeadComment(sourceLines, start);

  Lines code;
  stripComments(sourceLines, code, nullptr, 0);
  FuncIndex index;
  makeFuncIndex(code, index, 0, nullptr, false);
  int rangeStart = -1, rangeEnd = -1;
  for (const FuncRecord& r : index) {
    if (r.kind == FuncKind::TopLevel && !nested && r.name() == name) {
      rangeStart = r.startLine;
      rangeEnd = r.endLine;
      break;
    }
    if (r.kind == FuncKind::TopLevel && nested && r.name() == outer) {
      rangeStart = r.startLine;
      rangeEnd = r.endLine;
    } else if (r.kind == FuncKind::Nested && nested && r.enclosing() == outer && r.name() == name) {
      rangeStart = r.startLine;
      // It must close before the line on which its enclosing function closes.
      int endLine = 0, endColumn = 0;
      const bool closes = findCloseParen(code, nodeLine, r.startCol, &endLine, &endColumn);
      rangeEnd = closes && endLine < rangeEnd ? endLine : -1;
      break;
    }
  }
  if (start < 0 || rangeStart < 0 || rangeStart >= rangeEnd) return std::nullopt;
  Text text;
  for (int i = start; i <= rangeEnd && static_cast<size_t>(i) < sourceLines.size(); ++i) {
    text += sourceLines[static_cast<size_t>(i)];
    text += u"\r\n";
  }
  return text;
}

}  // namespace nokari
