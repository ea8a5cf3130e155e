#include "app/func_tree.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "source/scanner.h"

namespace nokari {

namespace {

// A place in the code lines as one number that orders as the places do.
std::int64_t place(int line, int col) {
  return static_cast<std::int64_t>(line) << 32 | static_cast<std::uint32_t>(col);
}
std::int64_t place(const FuncRecord& rec) { return place(rec.startLine, rec.startCol); }

struct NestedEntry {
  std::int64_t at;  // where its "(defun" stands
  size_t record;    // its place in the index
};

// The nested records of one enclosing name: in index order, and their places ordered by place.
struct NestedGroup {
  std::vector<NestedEntry> entries;
  std::vector<size_t> byLine;
};

// A top-level function's node without its children: a command by its name, another function
// with its parameters.
TreeNode functionNode(const Lines& codeLines, const FuncRecord& rec) {
  const std::u16string_view name = rec.name();
  TreeNode node;
  node.level = 1;
  node.line = rec.startLine + 1;
  node.image = 1;
  if (isCommandName(name)) {
    node.text = name;
  } else {
    // Built in place: a temporary per piece costs more than the text itself for 50,000 nodes.
    node.text.reserve(name.size() + 24);
    node.text.append(name).append(u" (");
    appendTrimmedDefunParams(node.text, codeLines, rec.startLine, rec.startCol);
    node.text += u')';
  }
  return node;
}

TreeNode nestedNode(const FuncRecord& rec) {
  return TreeNode{2, Text(rec.name()), rec.startLine + 1, 3, {}};
}

FuncTree groups() {
  FuncTree tree;
  tree.roots.resize(2);
  tree.roots[0] = TreeNode{0, u"Command", 0, 0, {}};
  tree.roots[1] = TreeNode{0, u"Function", 0, 0, {}};
  return tree;
}

// The group a function's node goes in: 0 for a command, 1 for another function.
int groupOf(const FuncRecord& rec) { return isCommandName(rec.name()) ? 0 : 1; }

// The tree of an index in the order makeFuncIndex made it, all of its records as written: each
// function's nested ones follow it, so no name is looked up, and the code lines are read in
// file order. `order` gives the sorted places.
FuncTree treeInFileOrder(const Lines& codeLines, const FuncIndex& index,
                         const std::vector<size_t>& order) {
  // Each function's group and place in it first, so that its node is made where it stays. The
  // sorted order visits the records at random: it reads only these small tables, not them.
  constexpr std::uint8_t kNoFunction = 2;
  std::vector<std::uint8_t> group(index.size(), kNoFunction);
  for (size_t p = 0; p < index.size(); ++p)
    if (index[p].kind == FuncKind::TopLevel)
      group[p] = static_cast<std::uint8_t>(groupOf(index[p]));
  std::vector<std::uint32_t> slot(index.size());
  std::uint32_t counts[2] = {0, 0};
  for (size_t p : order)
    if (group[p] != kNoFunction) slot[p] = counts[group[p]]++;
  FuncTree tree = groups();
  for (int g = 0; g < 2; ++g) tree.roots[g].children.resize(counts[g]);
  for (size_t p = 0; p < index.size(); ++p) {
    // A large file's code lines and nodes lie far outside the cache, each function's some way
    // after the one before and its node anywhere: both are asked for some functions ahead.
    if (const size_t ahead = p + 16; ahead < index.size() && group[ahead] != kNoFunction) {
      __builtin_prefetch(codeLines[static_cast<size_t>(index[ahead].startLine)].data());
      __builtin_prefetch(&tree.roots[group[ahead]].children[slot[ahead]], 1);
    }
    if (group[p] == kNoFunction) continue;
    TreeNode& node = tree.roots[group[p]].children[slot[p]];
    node = functionNode(codeLines, index[p]);
    for (size_t q = p + 1; q < index.size() && index[q].kind == FuncKind::Nested; ++q)
      node.children.push_back(nestedNode(index[q]));
  }
  return tree;
}

}  // namespace

FuncTree makeFuncTreeFromIndex(const Lines& codeLines, const FuncIndex& sortedIndex) {
  if (sortedIndex.empty()) return {};

  // Nested records by enclosing name: the child search below accepts exactly the records a
  // scan of the whole index would. A file may define one name many times, so each function
  // looks its line range up instead of scanning every record of its name.
  std::unordered_map<std::u16string_view, NestedGroup> nestedByOuter;
  for (size_t i = 0; i < sortedIndex.size(); ++i) {
    const FuncRecord& rec = sortedIndex[i];
    if (rec.kind == FuncKind::Nested)
      nestedByOuter[rec.enclosing()].entries.push_back({place(rec), i});
  }
  for (auto& [outer, group] : nestedByOuter) {
    group.byLine.resize(group.entries.size());
    std::iota(group.byLine.begin(), group.byLine.end(), size_t{0});
    std::sort(group.byLine.begin(), group.byLine.end(),
              [&](size_t a, size_t b) { return group.entries[a].at < group.entries[b].at; });
  }
  std::vector<size_t> hits;

  FuncTree tree = groups();
  for (const FuncRecord& rec : sortedIndex) {
    if (rec.kind != FuncKind::TopLevel) continue;
    TreeNode node = functionNode(codeLines, rec);
    const int start = rec.startLine, end = rec.endLine;
    const std::int64_t from = place(rec), to = place(end, rec.endCol);
    if (start >= 0 && start <= end) {
      auto it = nestedByOuter.find(rec.name());
      if (it != nestedByOuter.end()) {
        const NestedGroup& nested = it->second;
        auto k =
            std::upper_bound(nested.byLine.begin(), nested.byLine.end(), from,
                             [&](std::int64_t at, size_t i) { return at < nested.entries[i].at; });
        hits.clear();
        for (; k != nested.byLine.end() && nested.entries[*k].at <= to; ++k) hits.push_back(*k);
        // Children keep index order.
        std::sort(hits.begin(), hits.end());
        for (size_t i : hits)
          node.children.push_back(nestedNode(sortedIndex[nested.entries[i].record]));
      }
    }
    tree.roots[groupOf(rec)].children.push_back(std::move(node));
  }
  return tree;
}

FuncTree makeFuncTree(const Lines& sourceLines, Progress* bar, FuncIndex* sortedIndex) {
  Lines codeLines;
  FuncIndex index;
  makeCodeAndFuncIndex(sourceLines, codeLines, index, 100, bar, true);
  const std::vector<size_t> order = sortedFuncOrder(index);
  FuncTree tree;
  const bool asWritten =
      std::all_of(index.begin(), index.end(), [](const FuncRecord& r) { return r.asWritten(); });
  if (asWritten && !index.empty()) {
    tree = treeInFileOrder(codeLines, index, order);
    if (sortedIndex) arrangeFuncIndex(index, order);
  } else {
    // Odd names read back from their record texts: only a look at every record is exact.
    arrangeFuncIndex(index, order);
    tree = makeFuncTreeFromIndex(codeLines, index);
  }
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
