#include "editor/panel_navigation.h"

#include <climits>

#include "source/scanner.h"

namespace nokari {

namespace {

bool isNameEnd(char16_t c) { return c == u' ' || c == u'(' || c == u')' || c == u'/' || c == u'|'; }

}  // namespace

int lineNumberIn(std::u16string_view selected) {
  Text bare;
  for (char16_t c : selected)
    if (c != u'|') bare.push_back(c);
  bare = trim(bare);
  if (bare.empty()) return 0;
  long long value = 0;
  for (char16_t c : bare) {
    if (c < u'0' || c > u'9') return 0;
    value = value * 10 + (c - u'0');
    if (value > INT_MAX) return 0;
  }
  return static_cast<int>(value);
}

LineSpan widenToName(std::u16string_view line, LineSpan sel) {
  if (sel.start > line.size()) return sel;
  const size_t end = sel.start + sel.length;
  const bool endsOnStop = sel.length > 0 && end <= line.size() && isNameEnd(line[end - 1]);
  if (!endsOnStop && end <= line.size()) {
    for (size_t p = end; p < line.size() && !isNameEnd(line[p]); ++p) ++sel.length;
  }
  while (sel.start > 0 && !isNameEnd(line[sel.start - 1])) {
    --sel.start;
    ++sel.length;
  }
  return sel;
}

int definitionLine(const FuncTree& tree, std::u16string_view name) {
  const Text wanted = upperAscii(name);
  for (const NodeRef& ref : treeOrder(tree)) {
    if (ref.level() != 1) continue;
    const TreeNode* node = nodeAt(tree, ref);
    const std::u16string_view text(node->text);
    if (upperAscii(text.substr(0, text.find(u" ("))) == wanted)
      return node->line > 0 ? node->line : 0;
  }
  return 0;
}

int firstCallLine(const Lines& sourceLines, std::u16string_view name) {
  if (trim(name).empty()) return 0;
  Lines codeLines;
  stripComments(sourceLines, codeLines, nullptr, 0);
  const Text call = u"(" + upperAscii(name) + u" ";
  for (size_t i = 0; i < codeLines.size(); ++i)
    if (upperAscii(codeLines[i]).find(call) != Text::npos) return static_cast<int>(i) + 1;
  return 0;
}

}  // namespace nokari
