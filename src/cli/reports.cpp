#include "cli/reports.h"

#include "app/func_tree.h"
#include "source/func_index.h"
#include "source/scanner.h"

namespace nokari {

namespace {

TextList codeLines(const ReportInput& in) {
  TextList code;
  stripComments(in.source->lines, code, nullptr, 1);
  return code;
}

ReportOutput encodingReport(const ReportInput& in) {
  return {{fromAscii(encodingLabel(in.source->encoding))}, 0, {}};
}

ReportOutput codeReport(const ReportInput& in) { return {codeLines(in), 0, {}}; }

ReportOutput indexReport(const ReportInput& in) {
  FuncIndex index;
  makeFuncIndex(codeLines(in), index, 1, nullptr, false);
  return {std::move(index), 0, {}};
}

void appendNode(const TreeNode& node, TextList& out) {
  Text line(static_cast<size_t>(node.level) * 2, u' ');
  line += node.text;
  if (node.level > 0) {
    line += u'\t';
    line += fromAscii(std::to_string(node.data));
  }
  out.push_back(std::move(line));
  for (const TreeNode& child : node.children) appendNode(child, out);
}

ReportOutput treeReport(const ReportInput& in) {
  ReportOutput r;
  FuncTree tree = makeFuncTree(in.source->lines, nullptr);
  for (const TreeNode& root : tree.roots) appendNode(root, r.lines);
  return r;
}

}  // namespace

const std::vector<ReportKind>& reportKinds() {
  static const std::vector<ReportKind> kinds = {
      {"--encoding", true, encodingReport},
      {"--code", true, codeReport},
      {"--index", true, indexReport},
      {"--tree", true, treeReport},
      {"--vars", true, nullptr},
      {"--parens", true, nullptr},
      {"--funcs", true, nullptr},
      {"--catalogue", true, nullptr},
      {"--exclusions", false, nullptr},
  };
  return kinds;
}

}  // namespace nokari
