// The function tree model: groups, top-level functions, nested functions.
#pragma once

#include <vector>

#include "base/lines.h"
#include "base/text.h"
#include "source/func_index.h"
#include "source/progress.h"

namespace nokari {

struct TreeNode {
  int level = 0;
  Text text;
  int line = 0;   // 1-based line of the (defun; 0 for the groups
  int image = 0;  // index into the tree's image list
  std::vector<TreeNode> children;
};

// Level-0 nodes in order; empty when the file has no recorded function.
struct FuncTree {
  std::vector<TreeNode> roots;
  bool empty() const { return roots.empty(); }
};

// Builds the tree from the source lines (code lines and index in one stage of 100 steps, with
// indent); the sorted index it was built from goes to sortedIndex when given.
FuncTree makeFuncTree(const Lines& sourceLines, Progress* bar, FuncIndex* sortedIndex = nullptr);
// The same from a sorted function index and its code lines.
FuncTree makeFuncTreeFromIndex(const Lines& codeLines, const FuncIndex& sortedIndex);

// Where a node sits: indexes of its group, its function and its nested function (-1 = none).
struct NodeRef {
  int group = -1;
  int child = -1;
  int grandchild = -1;
  bool valid() const { return group >= 0; }
  int level() const { return grandchild >= 0 ? 2 : child >= 0 ? 1 : group >= 0 ? 0 : -1; }
  bool operator==(const NodeRef&) const = default;
};

const TreeNode* nodeAt(const FuncTree& tree, const NodeRef& ref);
// All nodes in tree order (group, its children with their children, next group ...).
std::vector<NodeRef> treeOrder(const FuncTree& tree);

// The panel lines a click on a node at 1-based line `line` shows: heading comments, then the
// defun's header lines.
TextList headingLines(const Lines& sourceLines, int line);

// The user's place in the tree, remembered by node texts before a reload.
struct TreePlace {
  // Selection: empty selText means nothing remembered.
  Text selParent, selText;
  bool selNested = false;
  // Top item.
  int topLevel = -1;
  Text topParent, topText;
};

TreePlace rememberPlace(const FuncTree& tree, const NodeRef& selected, const NodeRef& top);

struct RestoredPlace {
  NodeRef top;       // invalid: leave the top item as it is
  NodeRef selected;  // invalid: nothing selected (no focus change either)
};

// Which node becomes the top item and which is selected in the rebuilt tree.
RestoredPlace restorePlace(const TreePlace& place, const FuncTree& tree);

}  // namespace nokari
