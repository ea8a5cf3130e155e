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

HTREEITEM TreeControl::add(HTREEITEM parent, const TreeNode& node, const NodeRef& ref) {
  const std::wstring text = toWide(node.text);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  ins.item.pszText = const_cast<wchar_t*>(text.c_str());
  ins.item.iImage = node.image;
  ins.item.iSelectedImage = 0;  // as designed: every node shows image 0 while selected
  ins.item.lParam = static_cast<LPARAM>(refs_.size());
  auto* item =
      reinterpret_cast<HTREEITEM>(direct(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
  refs_.push_back(ref);
  items_.push_back(item);
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
  size_t i = 0;
  bool same = true;
  auto visit = [&](const TreeNode& node, int depth, auto& self) -> void {
    if (!same) return;
    if (i >= shown_.size() || shown_[i].depth != depth || shown_[i].image != node.image ||
        shown_[i].text != node.text) {
      same = false;
      return;
    }
    ++i;
    for (const TreeNode& child : node.children) self(child, depth + 1, self);
  };
  for (const TreeNode& root : tree.roots) visit(root, 0, visit);
  return same && i == shown_.size() && !shown_.empty();
}

void TreeControl::fill(const FuncTree& tree) {
  treeProc_ = reinterpret_cast<WNDPROC>(GetClassLongPtrW(wnd_, GCLP_WNDPROC));
  if (!treeProc_) treeProc_ = &DefWindowProcW;
  changing_ = true;
  {
    RedrawOff quiet(wnd_);
    TreeView_DeleteAllItems(wnd_);
    refs_.clear();
    items_.clear();
    parents_.clear();
    shown_.clear();
    auto addNode = [&](HTREEITEM parent, const TreeNode& node, NodeRef ref) {
      HTREEITEM item = add(parent, node, ref);
      if (item && !node.children.empty()) parents_.push_back(item);
      shown_.push_back({ref.level(), node.image, node.text});
      return item;
    };
    for (size_t g = 0; g < tree.roots.size(); ++g) {
      const TreeNode& group = tree.roots[g];
      HTREEITEM groupItem = addNode(TVI_ROOT, group, {static_cast<int>(g), -1, -1});
      if (!groupItem) continue;
      for (size_t c = 0; c < group.children.size(); ++c) {
        const TreeNode& fn = group.children[c];
        HTREEITEM fnItem = addNode(groupItem, fn, {static_cast<int>(g), static_cast<int>(c), -1});
        if (!fnItem) continue;
        for (size_t n = 0; n < fn.children.size(); ++n)
          addNode(fnItem, fn.children[n],
                  {static_cast<int>(g), static_cast<int>(c), static_cast<int>(n)});
      }
    }
    // An item that failed to go in leaves no trace to compare a later tree with.
    if (items_.size() != shown_.size() ||
        std::find(items_.begin(), items_.end(), nullptr) != items_.end())
      shown_.clear();
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
