#include "app/func_tree.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "source/scanner.h"

namespace nokari {

namespace {

bool isCommandName(const Text& name) {
  return name.size() >= 2 && upperAscii(name[0]) == u'C' && name[1] == u':';
}

struct NestedEntry {
  int line;
  const Text* name;
};

// The nested records of one enclosing name: in index order, and their places ordered by line.
struct NestedGroup {
  std::vector<NestedEntry> entries;
  std::vector<size_t> byLine;
};

struct TextHash {
  size_t operator()(const Text& t) const { return std::hash<std::u16string>()(t); }
};

}  // namespace

FuncTree makeFuncTreeFromIndex(const Lines& codeSL, const FuncIndex& sortedIndex) {
  FuncTree tree;
  if (sortedIndex.empty()) return tree;

  // Nested records by enclosing name: the child search below accepts exactly the records a
  // scan of the whole index would. A file may define one name many times, so each function
  // looks its line range up instead of scanning every record of its name.
  std::unordered_map<Text, NestedGroup, TextHash> nestedByOuter;
  for (const FuncRecord& rec : sortedIndex) {
    if (rec.kind != FuncKind::Nested) continue;
    nestedByOuter[*rec.enclosing].entries.push_back({rec.startLine, &rec.name});
  }
  for (auto& [outer, group] : nestedByOuter) {
    group.byLine.resize(group.entries.size());
    std::iota(group.byLine.begin(), group.byLine.end(), size_t{0});
    std::sort(group.byLine.begin(), group.byLine.end(),
              [&](size_t a, size_t b) { return group.entries[a].line < group.entries[b].line; });
  }
  std::vector<size_t> hits;

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
      // Built in place: a temporary per piece costs more than the text itself for 50,000 nodes.
      const Text params = defunParamsOnOneLine(codeSL, start, rec.startCol);
      const std::u16string_view trimmed = trimmedView(params);
      node.text.reserve(name.size() + trimmed.size() + 3);
      node.text.append(name).append(u" (").append(trimmed).append(u")");
      group = &tree.roots[1];
    }
    const int end = rec.endLine;
    if (start >= 0 && start < end) {
      auto it = nestedByOuter.find(name);
      if (it != nestedByOuter.end()) {
        const NestedGroup& nested = it->second;
        auto k =
            std::upper_bound(nested.byLine.begin(), nested.byLine.end(), start,
                             [&](int line, size_t i) { return line < nested.entries[i].line; });
        hits.clear();
        for (; k != nested.byLine.end() && nested.entries[*k].line <= end; ++k) hits.push_back(*k);
        // Children keep index order.
        std::sort(hits.begin(), hits.end());
        for (size_t i : hits) {
          const NestedEntry& e = nested.entries[i];
          node.children.push_back(TreeNode{2, *e.name, e.line + 1, 3, {}});
        }
      }
    }
    group->children.push_back(std::move(node));
  }
  return tree;
}

FuncTree makeFuncTree(const Lines& lspSL, Progress* bar, FuncIndex* sortedIndex) {
  Lines codeSL;
  FuncIndex index;
  stripComments(lspSL, codeSL, bar, 30);
  makeFuncIndex(codeSL, index, 70, bar, true);
  sortFuncIndex(index);
  FuncTree tree = makeFuncTreeFromIndex(codeSL, index);
  if (bar) bar->setPosition(0);
  if (sortedIndex) *sortedIndex = std::move(index);
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
