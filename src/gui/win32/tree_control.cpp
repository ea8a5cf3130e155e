#include "gui/win32/tree_control.h"

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

void TreeControl::fill(const FuncTree& tree) {
  if (!wnd_) return;
  treeProc_ = reinterpret_cast<WNDPROC>(GetClassLongPtrW(wnd_, GCLP_WNDPROC));
  if (!treeProc_) treeProc_ = &DefWindowProcW;
  changing_ = true;
  {
    RedrawOff quiet(wnd_);
    TreeView_DeleteAllItems(wnd_);
    refs_.clear();
    items_.clear();
    std::vector<HTREEITEM> parents;  // items that get children, expanded at the end
    auto addNode = [&](HTREEITEM parent, const TreeNode& node, NodeRef ref) {
      HTREEITEM item = add(parent, node, ref);
      if (item && !node.children.empty()) parents.push_back(item);
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
    // Expanding after the children are in is far quicker than inserting into open nodes.
    for (HTREEITEM item : parents) direct(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    if (!items_.empty() && items_.front()) TreeView_Select(wnd_, items_.front(), TVGN_FIRSTVISIBLE);
  }
  changing_ = false;
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

void TreeControl::restorePlace(const RestoredPlace& place) {
  if (!wnd_) return;
  HTREEITEM selected = place.selected.valid() ? itemOf(place.selected) : nullptr;
  HTREEITEM top = place.top.valid() ? itemOf(place.top) : nullptr;
  // Nothing to restore (the start, a reload with nothing selected): the tree stays as the fill
  // left it, without another round of switching its redrawing off and on, which has it measure
  // and repaint all its items again.
  if (!top && !selected) return;
  changing_ = true;
  {
    RedrawOff quiet(wnd_);
    if (top) TreeView_Select(wnd_, top, TVGN_FIRSTVISIBLE);
    if (selected) TreeView_Select(wnd_, selected, TVGN_CARET);
  }
  changing_ = false;
  if (selected) SetFocus(wnd_);
}

}  // namespace nokari::win
