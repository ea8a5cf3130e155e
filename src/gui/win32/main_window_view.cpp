// The main window as the controller sees it: controls read and written as plain values.
// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
// clang-format on

#include <algorithm>

#include "gui/win32/control_ids.h"
#include "gui/win32/main_window.h"
#include "gui/win32/message_loop.h"
#include "platform/win32/wide.h"

namespace nokari::win {

namespace {

std::wstring textOf(HWND wnd) {
  if (!wnd) return {};
  const int n = GetWindowTextLengthW(wnd);
  std::wstring s(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
  const int got = GetWindowTextW(wnd, s.data(), static_cast<int>(s.size()));
  s.resize(static_cast<size_t>(std::max(got, 0)));
  return s;
}

std::wstring comboItem(HWND combo, int i) {
  const LRESULT n = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
  if (n == CB_ERR || n < 0) return {};
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  const LRESULT got =
      SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
  s.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
  return s;
}

void setTopmost(HWND wnd, bool on) {
  if (wnd && IsWindow(wnd))
    SetWindowPos(wnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HTREEITEM insertItem(HWND tree, HTREEITEM parent, const TreeNode& node, LPARAM index) {
  const std::wstring text = toWide(node.text);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  ins.item.pszText = const_cast<wchar_t*>(text.c_str());
  ins.item.iImage = node.image;
  ins.item.iSelectedImage = 0;  // as designed: every node shows image 0 while selected
  ins.item.lParam = index;
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

}  // namespace

int Win32MainView::Bar::position() const {
  return wnd ? static_cast<int>(SendMessageW(wnd, PBM_GETPOS, 0, 0)) : 0;
}

void Win32MainView::Bar::setPosition(int pos) {
  if (!wnd) return;
  SendMessageW(wnd, PBM_SETPOS, static_cast<WPARAM>(std::clamp(pos, 0, 100)), 0);
  // A long load shows its progress even before it pumps messages.
  UpdateWindow(wnd);
}

void Win32MainView::setEncodingLabel(const Text& label) {
  SetWindowTextW(control(ids::EncodingLabel), toWide(label).c_str());
}

void Win32MainView::setFileNameText(const Text& name) {
  if (fileNameWnd_) SetWindowTextW(fileNameWnd_, toWide(name).c_str());
}

void Win32MainView::showTree(const FuncTree& tree) {
  if (!treeWnd_) return;
  treeFilling_ = true;
  {
    RedrawOff quiet(treeWnd_);
    TreeView_DeleteAllItems(treeWnd_);
    itemRefs_.clear();
    items_.clear();
    std::vector<HTREEITEM> parents;  // items that get children, expanded at the end
    auto add = [&](HTREEITEM parent, const TreeNode& node, NodeRef ref) {
      const LPARAM index = static_cast<LPARAM>(itemRefs_.size());
      HTREEITEM item = insertItem(treeWnd_, parent, node, index);
      itemRefs_.push_back(ref);
      items_.push_back(item);
      if (item && !node.children.empty()) parents.push_back(item);
      return item;
    };
    for (size_t g = 0; g < tree.roots.size(); ++g) {
      const TreeNode& group = tree.roots[g];
      HTREEITEM groupItem = add(TVI_ROOT, group, {static_cast<int>(g), -1, -1});
      if (!groupItem) continue;
      for (size_t c = 0; c < group.children.size(); ++c) {
        const TreeNode& fn = group.children[c];
        HTREEITEM fnItem = add(groupItem, fn, {static_cast<int>(g), static_cast<int>(c), -1});
        if (!fnItem) continue;
        for (size_t n = 0; n < fn.children.size(); ++n)
          add(fnItem, fn.children[n],
              {static_cast<int>(g), static_cast<int>(c), static_cast<int>(n)});
      }
    }
    // Expanding after the children are in is far quicker than inserting into open nodes.
    for (HTREEITEM item : parents) TreeView_Expand(treeWnd_, item, TVE_EXPAND);
    if (!items_.empty() && items_.front())
      TreeView_Select(treeWnd_, items_.front(), TVGN_FIRSTVISIBLE);
  }
  treeFilling_ = false;
}

NodeRef Win32MainView::refOf(HTREEITEM item) const {
  if (!item || !treeWnd_) return {};
  TVITEMW it{};
  it.mask = TVIF_PARAM | TVIF_HANDLE;
  it.hItem = item;
  if (!SendMessageW(treeWnd_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) return {};
  if (it.lParam < 0 || static_cast<size_t>(it.lParam) >= itemRefs_.size()) return {};
  return itemRefs_[static_cast<size_t>(it.lParam)];
}

HTREEITEM Win32MainView::itemOf(const NodeRef& ref) const {
  for (size_t i = 0; i < itemRefs_.size(); ++i)
    if (itemRefs_[i] == ref) return items_[i];
  return nullptr;
}

NodeRef Win32MainView::treeSelection() const {
  return treeWnd_ ? refOf(TreeView_GetSelection(treeWnd_)) : NodeRef{};
}

NodeRef Win32MainView::treeTopItem() const {
  return treeWnd_ ? refOf(TreeView_GetFirstVisible(treeWnd_)) : NodeRef{};
}

void Win32MainView::restoreTreePlace(const RestoredPlace& place) {
  if (!treeWnd_) return;
  HTREEITEM selected = place.selected.valid() ? itemOf(place.selected) : nullptr;
  treeFilling_ = true;
  {
    RedrawOff quiet(treeWnd_);
    if (HTREEITEM top = place.top.valid() ? itemOf(place.top) : nullptr)
      TreeView_Select(treeWnd_, top, TVGN_FIRSTVISIBLE);
    if (selected) TreeView_Select(treeWnd_, selected, TVGN_CARET);
  }
  treeFilling_ = false;
  if (selected) SetFocus(treeWnd_);
}

void Win32MainView::setPanelLines(const TextList& lines) {
  if (!panelWnd_) return;
  size_t total = 0;
  for (const Text& l : lines) total += l.size() + 2;
  std::wstring text;
  text.reserve(total);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += L"\r\n";
    text.append(lines[i].begin(), lines[i].end());
  }
  RedrawOff quiet(panelWnd_);
  SetWindowTextW(panelWnd_, text.c_str());
}

void Win32MainView::setPanelHint(const Text& hint) {
  if (!tooltipWnd_ || !panelWnd_) return;
  std::wstring w = toWide(hint);
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = hwnd();
  ti.uId = reinterpret_cast<UINT_PTR>(panelWnd_);
  ti.lpszText = w.data();
  SendMessageW(tooltipWnd_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Win32MainView::scrollPanelTop() {
  if (!panelWnd_) return;
  // Back by as many lines as the caret is down, then the caret to the very start.
  DWORD selStart = 0;
  SendMessageW(panelWnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), 0);
  const LRESULT line = SendMessageW(panelWnd_, EM_LINEFROMCHAR, selStart, 0);
  SendMessageW(panelWnd_, EM_LINESCROLL, 0, -line);
  SendMessageW(panelWnd_, EM_SETSEL, 0, 0);
  // The panel may have been scrolled away from the caret; the first line shows in any case.
  SendMessageW(panelWnd_, WM_VSCROLL, SB_TOP, 0);
  SendMessageW(panelWnd_, WM_HSCROLL, SB_LEFT, 0);
}

void Win32MainView::processMessages() { pumpPending(); }

std::optional<size_t> Win32MainView::chooseFromHistory(const TextList& history) {
  if (!history_ || !history_->hwnd()) return std::nullopt;
  // The modal dialog must stand above the always-on-top main window.
  setTopmost(hwnd(), false);
  setTopmost(history_->hwnd(), true);
  std::optional<size_t> chosen = history_->choose(history);
  setTopmost(hwnd(), true);
  return chosen;
}

int Win32MainView::editorIndex() const {
  if (!editorBoxWnd_) return -1;
  const std::wstring typed = textOf(editorBoxWnd_);
  const LRESULT sel = SendMessageW(editorBoxWnd_, CB_GETCURSEL, 0, 0);
  if (sel != CB_ERR && sel >= 0 && comboItem(editorBoxWnd_, static_cast<int>(sel)) == typed)
    return static_cast<int>(sel);
  // Typed text counts as a choice only when it reads exactly as one of the items.
  const LRESULT count = SendMessageW(editorBoxWnd_, CB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i)
    if (comboItem(editorBoxWnd_, i) == typed) return i;
  return -1;
}

void Win32MainView::setEditorIndex(int index) {
  if (!editorBoxWnd_) return;
  // An index outside the list leaves no item chosen and the box empty.
  const LRESULT count = SendMessageW(editorBoxWnd_, CB_GETCOUNT, 0, 0);
  if (index < 0 || index >= count) index = -1;
  SendMessageW(editorBoxWnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool Win32MainView::jumpChecked() const {
  return SendMessageW(control(ids::JumpCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32MainView::setJumpChecked(bool on) {
  SendMessageW(control(ids::JumpCheck), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32MainView::reloadChecked() const {
  return SendMessageW(control(ids::ReloadCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32MainView::setReloadChecked(bool on) {
  SendMessageW(control(ids::ReloadCheck), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace nokari::win
