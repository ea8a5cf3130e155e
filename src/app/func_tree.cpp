#include "app/func_tree.h"

#include <unordered_map>

#include "source/scanner.h"

namespace nokari {

namespace {

Text paramsAsText(const TextList& codeSL, int line, int col) {
  Text params = getDefunParams(codeSL, line, col);
  Text out;
  out.reserve(params.size());
  for (size_t i = 0; i < params.size(); ++i) {
    if (params[i] == u'\r' && i + 1 < params.size() && params[i + 1] == u'\n') {
      out += u' ';
      ++i;
    } else {
      out += params[i];
    }
  }
  return trim(out);
}

bool isCommandName(const Text& name) {
  return name.size() >= 2 && upperAscii(name[0]) == u'C' && name[1] == u':';
}

struct NestedEntry {
  int line;
  const Text* name;
};

struct TextHash {
  size_t operator()(const Text& t) const { return std::hash<std::u16string>()(t); }
};

}  // namespace

FuncTree makeFuncTreeFromIndex(const TextList& codeSL, const FuncIndex& sortedIndex) {
  FuncTree tree;
  if (sortedIndex.empty()) return tree;

  // Nested records by enclosing name, in index order: the child search below visits exactly
  // the records a scan of the whole index would accept.
  std::unordered_map<Text, std::vector<NestedEntry>, TextHash> nestedByOuter;
  for (const FuncRecord& rec : sortedIndex) {
    if (rec.kind != FuncKind::Nested) continue;
    nestedByOuter[*rec.enclosing].push_back({rec.startLine, &rec.name});
  }

  tree.roots.resize(2);
  tree.roots[0] = TreeNode{0, u"Command", 0, 0, {}};
  tree.roots[1] = TreeNode{0, u"Function", 0, 0, {}};
  for (const FuncRecord& rec : sortedIndex) {
    if (rec.kind != FuncKind::TopLevel) continue;
    const Text& name = rec.name;
    const int start = rec.startLine;
    TreeNode node;
    node.level = 1;
    node.line = start + 1;
    node.image = 1;
    TreeNode* group;
    if (isCommandName(name)) {
      node.text = name;
      group = &tree.roots[0];
    } else {
      node.text = name + u" (" + paramsAsText(codeSL, start, rec.startCol) + u")";
      group = &tree.roots[1];
    }
    const int end = rec.endLine;
    if (start >= 0 && start < end) {
      auto it = nestedByOuter.find(name);
      if (it != nestedByOuter.end()) {
        for (const NestedEntry& e : it->second) {
          if (start < e.line && e.line <= end)
            node.children.push_back(TreeNode{2, *e.name, e.line + 1, 3, {}});
        }
      }
    }
    group->children.push_back(std::move(node));
  }
  return tree;
}

FuncTree makeFuncTree(const TextList& lspSL, Progress* bar) {
  TextList codeSL;
  FuncIndex index;
  stripComments(lspSL, codeSL, bar, 30);
  makeFuncIndex(codeSL, index, 70, bar, true);
  sortFuncIndex(index);
  FuncTree tree = makeFuncTreeFromIndex(codeSL, index);
  if (bar) bar->setPosition(0);
  return tree;
}

const TreeNode* nodeAt(const FuncTree& tree, const NodeRef& ref) {
  if (ref.group < 0 || ref.group >= static_cast<int>(tree.roots.size())) return nullptr;
  const TreeNode* n = &tree.roots[ref.group];
  if (ref.child < 0) return n;
  if (ref.child >= static_cast<int>(n->children.size())) return nullptr;
  n = &n->children[ref.child];
  if (ref.grandchild < 0) return n;
  if (ref.grandchild >= static_cast<int>(n->children.size())) return nullptr;
  return &n->children[ref.grandchild];
}

std::vector<NodeRef> treeOrder(const FuncTree& tree) {
  std::vector<NodeRef> out;
  for (int g = 0; g < static_cast<int>(tree.roots.size()); ++g) {
    out.push_back({g, -1, -1});
    const auto& kids = tree.roots[g].children;
    for (int c = 0; c < static_cast<int>(kids.size()); ++c) {
      out.push_back({g, c, -1});
      for (int k = 0; k < static_cast<int>(kids[c].children.size()); ++k) out.push_back({g, c, k});
    }
  }
  return out;
}

}  // namespace nokari
