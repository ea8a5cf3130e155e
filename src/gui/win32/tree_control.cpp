#include "gui/win32/tree_control.h"

#include <algorithm>

#include "gui/main_layout.h"
#include "gui/win32/dark_theme.h"
#include "gui/win32/window.h"
#include "platform/win32/wide.h"

namespace nokari::win {

bool TreeControl::create(HWND parent, int id) {
  wnd_ = createChild(parent, id, WC_TREEVIEWW, L"",
                     WS_TABSTOP | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_FULLROWSELECT |
                         TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP,
                     WS_EX_CLIENTEDGE);
  if (!wnd_) return false;
  TreeView_SetBkColor(wnd_, dark::kField);
  TreeView_SetTextColor(wnd_, dark::kText);
  TreeView_SetLineColor(wnd_, dark::kBorder);
  dark::useDarkControlStyle(wnd_);
  return true;
}

void TreeControl::applyDpi(int dpi) {
  if (!wnd_) return;
  TreeView_SetIndent(wnd_, layout::scale(19, dpi));
  images_ = dark::makeTreeImages(dpi);
  TreeView_SetImageList(wnd_, images_.get(), TVSIL_NORMAL);
}

HTREEITEM TreeControl::add(HTREEITEM parent, HTREEITEM after, const TreeNode& node, size_t index) {
  const std::wstring text = toWide(node.text);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent;
  ins.hInsertAfter = after;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  ins.item.pszText = const_cast<wchar_t*>(text.c_str());
  ins.item.iImage = node.image;
  ins.item.iSelectedImage = 0;  // as designed: every node shows image 0 while selected
  ins.item.lParam = static_cast<LPARAM>(index);
  auto* item =
      reinterpret_cast<HTREEITEM>(direct(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
  items_[index] = item;
  return item;
}

LRESULT TreeControl::direct(UINT msg, WPARAM wp, LPARAM lp) const {
  return CallWindowProcW(treeProc_, wnd_, msg, wp, lp);
}

void TreeControl::show(const FuncTree& tree, const RestoredPlace* place) {
  if (!wnd_) return;
  const bool kept = showsAlready(tree);
  if (kept)
    expandAll();
  else
    fill(tree);
  HTREEITEM top = place && place->top.valid() ? itemOf(place->top) : nullptr;
  HTREEITEM selected = place && place->selected.valid() ? itemOf(place->selected) : nullptr;
  // After a fill with nothing to restore (the start, a reload with nothing selected) the tree
  // stays as the fill left it, without another round of switching its redrawing off and on,
  // which has it measure and repaint all its items again.
  if (!kept && !top && !selected) return;
  if (!top && !items_.empty()) top = items_.front();
  applyPlace(top, selected);
}

bool TreeControl::showsAlready(const FuncTree& tree) const {
  // In the tree order the fill recorded them in.
  const std::vector<NodeRef> order = treeOrder(tree);
  if (order.empty() || order.size() != shown_.size()) return false;
  for (size_t i = 0; i < order.size(); ++i) {
    const TreeNode& node = *nodeAt(tree, order[i]);
    if (shown_[i].depth != order[i].level() || shown_[i].image != node.image ||
        shown_[i].text != node.text)
      return false;
  }
  return true;
}

void TreeControl::fill(const FuncTree& tree) {
  treeProc_ = reinterpret_cast<WNDPROC>(GetClassLongPtrW(wnd_, GCLP_WNDPROC));
  if (!treeProc_) treeProc_ = &DefWindowProcW;
  changing_ = true;
  {
    RedrawOff quiet(wnd_);
    TreeView_DeleteAllItems(wnd_);
    // Tree order, where a node's index is its item's lParam.
    refs_ = treeOrder(tree);
    shown_.clear();
    shown_.reserve(refs_.size());
    std::vector<std::vector<size_t>> at(tree.roots.size());  // [group][function]: index
    std::vector<size_t> groupAt(tree.roots.size());
    for (size_t i = 0; i < refs_.size(); ++i) {
      const NodeRef& r = refs_[i];
      const TreeNode& node = *nodeAt(tree, r);
      shown_.push_back({r.level(), node.image, node.text});
      if (r.level() == 0) groupAt[static_cast<size_t>(r.group)] = i;
      if (r.level() == 1) at[static_cast<size_t>(r.group)].push_back(i);
    }
    items_.assign(refs_.size(), nullptr);
    // Wine's tree view checks every item handle a message names by searching all its items
    // in the order they were made, so naming an item made after thousands of others (a
    // group's second half, a nested function's parent) made the fill quadratic. The items
    // are made so that every item named is one of the first made: the groups, then the
    // functions with nested ones and those nested ones, then the other functions, each put
    // after the nearest such function before it. The tree comes out the same.
    for (size_t g = 0; g < tree.roots.size(); ++g)
      add(TVI_ROOT, TVI_LAST, tree.roots[g], groupAt[g]);
    for (size_t g = 0; g < tree.roots.size(); ++g) {
      HTREEITEM groupItem = items_[groupAt[g]];
      if (!groupItem) continue;
      const std::vector<TreeNode>& fns = tree.roots[g].children;
      for (size_t c = 0; c < fns.size(); ++c)
        if (!fns[c].children.empty()) add(groupItem, TVI_LAST, fns[c], at[g][c]);
      for (size_t c = 0; c < fns.size(); ++c) {
        HTREEITEM fnItem = items_[at[g][c]];
        if (!fnItem || fns[c].children.empty()) continue;
        for (size_t n = 0; n < fns[c].children.size(); ++n)
          add(fnItem, TVI_LAST, fns[c].children[n], at[g][c] + 1 + n);
      }
      std::vector<HTREEITEM> after(fns.size(), TVI_FIRST);
      for (size_t c = 1; c < fns.size(); ++c) {
        const bool parent = !fns[c - 1].children.empty() && items_[at[g][c - 1]];
        after[c] = parent ? items_[at[g][c - 1]] : after[c - 1];
      }
      // Backwards: each goes right after its anchor, before the ones put there already.
      for (size_t c = fns.size(); c-- > 0;)
        if (fns[c].children.empty()) add(groupItem, after[c], fns[c], at[g][c]);
    }
    parents_.clear();
    for (size_t i = 0; i < refs_.size(); ++i)
      if (items_[i] && i + 1 < refs_.size() && refs_[i + 1].level() > refs_[i].level())
        parents_.push_back(items_[i]);
    // An item that failed to go in leaves no trace to compare a later tree with.
    if (std::find(items_.begin(), items_.end(), nullptr) != items_.end()) shown_.clear();
    // Expanding after the children are in is far quicker than inserting into open nodes, and
    // the innermost first: a node expanded inside a closed one is out of view, so the tree does
    // not lay out again everything below it (which made the fill quadratic).
    for (auto it = parents_.rbegin(); it != parents_.rend(); ++it)
      direct(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(*it));
    if (!items_.empty() && items_.front()) TreeView_Select(wnd_, items_.front(), TVGN_FIRSTVISIBLE);
  }
  changing_ = false;
}

void TreeControl::expandAll() {
  std::vector<HTREEITEM> closed;
  for (HTREEITEM item : parents_)
    if (!(direct(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED))
      closed.push_back(item);
  if (closed.empty()) return;
  changing_ = true;
  {
    RedrawOff quiet(wnd_);
    for (auto it = closed.rbegin(); it != closed.rend(); ++it)
      direct(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(*it));
  }
  changing_ = false;
}

void TreeControl::applyPlace(HTREEITEM top, HTREEITEM selected) {
  // Already there (a reload of an unchanged file, nothing moved since): nothing to redo.
  if (top == TreeView_GetFirstVisible(wnd_) && selected == TreeView_GetSelection(wnd_)) {
    if (selected) SetFocus(wnd_);
    return;
  }
  changing_ = true;
  {
    RedrawOff quiet(wnd_);
    if (top) TreeView_Select(wnd_, top, TVGN_FIRSTVISIBLE);
    TreeView_Select(wnd_, selected, TVGN_CARET);
  }
  changing_ = false;
  if (selected) SetFocus(wnd_);
}

NodeRef TreeControl::refOf(HTREEITEM item) const {
  if (!item || !wnd_) return {};
  TVITEMW it{};
  it.mask = TVIF_PARAM | TVIF_HANDLE;
  it.hItem = item;
  if (!SendMessageW(wnd_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) return {};
  if (it.lParam < 0 || static_cast<size_t>(it.lParam) >= refs_.size()) return {};
  return refs_[static_cast<size_t>(it.lParam)];
}

HTREEITEM TreeControl::itemOf(const NodeRef& ref) const {
  for (size_t i = 0; i < refs_.size(); ++i)
    if (refs_[i] == ref) return items_[i];
  return nullptr;
}

NodeRef TreeControl::selection() const {
  return wnd_ ? refOf(TreeView_GetSelection(wnd_)) : NodeRef{};
}

NodeRef TreeControl::topItem() const {
  return wnd_ ? refOf(TreeView_GetFirstVisible(wnd_)) : NodeRef{};
}

}  // namespace nokari::win
