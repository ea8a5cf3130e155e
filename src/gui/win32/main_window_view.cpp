// The main window as the controller sees it: controls read and written as plain values.
#include "gui/win32/main_window.h"
#include "gui/win32/message_loop.h"
#include "platform/win32/wide.h"

namespace nokari::win {

namespace {

void setTopmost(HWND wnd, bool on) {
  if (wnd && IsWindow(wnd))
    SetWindowPos(wnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

void Win32MainView::setEncodingLabel(const Text& label) {
  if (encodingWnd_) SetWindowTextW(encodingWnd_, toWide(label).c_str());
}

void Win32MainView::setFileNameText(const Text& name) {
  if (fileNameWnd_) SetWindowTextW(fileNameWnd_, toWide(name).c_str());
}

void Win32MainView::showTree(const FuncTree& tree, const RestoredPlace* place) {
  tree_.show(tree, place);
  // At start the window shows with its tree; the start's variable check follows in view.
  showPending();
}

NodeRef Win32MainView::treeSelection() const { return tree_.selection(); }

NodeRef Win32MainView::treeTopItem() const { return tree_.topItem(); }

void Win32MainView::setPanelLines(const TextList& lines) { panel_.setLines(lines); }

void Win32MainView::setPanelHint(const Text& hint) { panel_.setHint(hint); }

void Win32MainView::scrollPanelTop() { panel_.scrollToTop(); }

MainView::PanelSelection Win32MainView::panelSelection() const { return panel_.selection(); }

void Win32MainView::selectInPanel(size_t start, size_t length) { panel_.select(start, length); }

void Win32MainView::showJumpList(const std::vector<JumpEntry>& entries, int selected) {
  if (!jumpListWnd_) return;
  const LRESULT top = SendMessageW(jumpListWnd_, LB_GETTOPINDEX, 0, 0);
  {
    RedrawOff quiet(jumpListWnd_);
    SendMessageW(jumpListWnd_, LB_RESETCONTENT, 0, 0);
    for (const JumpEntry& e : entries)
      SendMessageW(jumpListWnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(e.text).c_str()));
    SendMessageW(jumpListWnd_, LB_SETTOPINDEX, top < 0 ? 0 : top, 0);
    SendMessageW(jumpListWnd_, LB_SETCURSEL, selected, 0);
  }
  InvalidateRect(jumpListWnd_, nullptr, TRUE);
}

int Win32MainView::jumpListSelection() const {
  if (!jumpListWnd_) return -1;
  const LRESULT i = SendMessageW(jumpListWnd_, LB_GETCURSEL, 0, 0);
  return i == LB_ERR ? -1 : static_cast<int>(i);
}

WindowHandle Win32MainView::ownWindow() const { return reinterpret_cast<WindowHandle>(hwnd()); }

void Win32MainView::moveTo(const ScreenRect& r) {
  if (hwnd())
    SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainView::setKeyWatch(bool on) {
  if (on && hwnd()) {
    keyWatch_.start(hwnd());
  } else {
    keyWatch_.stop();
  }
}

void Win32MainView::setTimerRunning(bool on) {
  if (!hwnd() || on == timerRunning_) return;
  timerRunning_ = on;
  if (on) {
    SetTimer(hwnd(), kReloadTimer, 200, nullptr);
  } else {
    KillTimer(hwnd(), kReloadTimer);
  }
}

ScreenRect Win32MainView::outerRect() const {
  RECT r{};
  if (hwnd()) GetWindowRect(hwnd(), &r);
  return {r.left, r.top, r.right, r.bottom};
}

void Win32MainView::processMessages() { pumpPaint(); }

std::optional<size_t> Win32MainView::chooseFromHistory(const TextList& history) {
  if (!history_ || !history_->hwnd()) return std::nullopt;
  // The modal dialog must stand above the always-on-top main window.
  setTopmost(hwnd(), false);
  setTopmost(history_->hwnd(), true);
  std::optional<size_t> chosen = history_->choose(history);
  setTopmost(hwnd(), true);
  return chosen;
}

int Win32MainView::editorIndex() const { return editorBox_.chosen(); }

void Win32MainView::setEditorIndex(int index) { editorBox_.choose(index); }

bool Win32MainView::jumpChecked() const { return isChecked(jumpCheckWnd_); }

void Win32MainView::setJumpChecked(bool on) { setChecked(jumpCheckWnd_, on); }

bool Win32MainView::reloadChecked() const { return isChecked(reloadCheckWnd_); }

void Win32MainView::setReloadChecked(bool on) { setChecked(reloadCheckWnd_, on); }

}  // namespace nokari::win
