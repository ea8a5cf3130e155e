// The function tree's control: it mirrors the tree model and answers in the model's terms
// (NodeRef), not in tree items.
#pragma once

#include <vector>

#include "app/func_tree.h"
#include "gui/win32/win_handles.h"

namespace nokari::win {

class TreeControl {
 public:
  // Creates the tree view in the dark colours.
  bool create(HWND parent, int id);
  HWND wnd() const { return wnd_; }
  // The control went with its parent.
  void forget() { wnd_ = nullptr; }
  // Indent and images for the DPI.
  void applyDpi(int dpi);

  // The tree's nodes, all expanded, the first on top and nothing selected; then, when given,
  // the place's top item on top and its node selected with the focus. Nodes the control shows
  // already (the same texts and images in the same shape, as after a reload of an unchanged
  // file) stay: the result is the same as a refill, which under Wine costs seconds for a
  // hundred thousand items.
  void show(const FuncTree& tree, const RestoredPlace* place);
  NodeRef selection() const;
  NodeRef topItem() const;
  // True while the control changes its selection itself (filling, restoring a place): such
  // a change is not the user's.
  bool changingItself() const { return changing_; }

 private:
  // Replaces every item (redraw off meanwhile), expands them all and shows the first on top.
  void fill(const FuncTree& tree);
  bool showsAlready(const FuncTree& tree) const;
  // Every parent expanded again, as a refill leaves them (the user may have closed some).
  void expandAll();
  // The top item, then the selection (none: nothing selected), as given.
  void applyPlace(HTREEITEM top, HTREEITEM selected);
  NodeRef refOf(HTREEITEM item) const;
  HTREEITEM itemOf(const NodeRef& ref) const;
  // Inserts the node's item after `after` (or TVI_FIRST / TVI_LAST) as item `index` of the
  // tree order.
  HTREEITEM add(HTREEITEM parent, HTREEITEM after, const TreeNode& node, size_t index);
  // A filling message straight to the tree view's own procedure, past the subclasses (the
  // window's and the tooltip's), none of which acts on it. Under Wine a message sent through
  // them took some 0.1 ms, a fill of thousands of items a second or more.
  LRESULT direct(UINT msg, WPARAM wp, LPARAM lp) const;

  HWND wnd_ = nullptr;
  WNDPROC treeProc_ = nullptr;  // the tree view class's procedure, looked up by fill
  ImageList images_;
  // The items in tree order with the node each shows; an item's lParam is its index.
  std::vector<NodeRef> refs_;
  std::vector<HTREEITEM> items_;
  std::vector<HTREEITEM> parents_;  // the items with children, in tree order
  // What each item shows, in tree order: its depth, image and text.
  struct Shown {
    int depth;
    int image;
    Text text;
  };
  std::vector<Shown> shown_;
  bool changing_ = false;
};

}  // namespace nokari::win
