#include "gui/win32/main_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iterator>

#include "gui/control_ids.h"
#include "gui/win32/dark_theme.h"
#include "gui/win32/message_boxes.h"
#include "gui/win32/message_loop.h"
#include "platform/win32/wide.h"

namespace nokari::win {

namespace {

constexpr DarkWindow::Frame kFrame = {
    NOKARI_MAIN_CLASS, 0,
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN,
    WS_EX_TOPMOST | WS_EX_ACCEPTFILES | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW};

// Events that run after the control that caused them has finished with the mouse.
constexpr UINT kMsgTreeClicked = WM_APP + 1;
constexpr UINT kMsgFileNameClicked = WM_APP + 2;
constexpr UINT kMsgPanelDoubleClicked = WM_APP + 3;

// The buttons whose click is an event of the controller.
struct ButtonEvent {
  int id;
  void (MainController::*event)();
};
constexpr ButtonEvent kButtonEvents[] = {
    {ids::OpenButton, &MainController::openClicked},
    {ids::ParenthesisCheckButton, &MainController::parenthesisCheckClicked},
    {ids::VariableCheckButton, &MainController::variableCheckClicked},
    {ids::ExclusionListButton, &MainController::exclusionListClicked},
    {ids::FunctionCheckButton, &MainController::functionCheckClicked},
    {ids::CatalogueButton, &MainController::catalogueClicked},
    {ids::HistoryButton, &MainController::historyClicked},
    {ids::EditorActivateButton, &MainController::editorActivateClicked},
    {ids::CadLoadButton, &MainController::cadLoadClicked},
    {ids::CadActivateButton, &MainController::cadActivateClicked},
    {ids::ReloadCheck, &MainController::reloadClicked},
};

// The popup menu items with an event.
constexpr ButtonEvent kMenuEvents[] = {
    {ids::AddToJumpListItem, &MainController::addToJumpListClicked},
    {ids::InsertAtJumpListTopItem, &MainController::insertAtJumpListTopClicked},
    {ids::ClearJumpListItem, &MainController::clearJumpListClicked},
    {ids::MoveUpItem, &MainController::jumpListMoveUpClicked},
    {ids::MoveDownItem, &MainController::jumpListMoveDownClicked},
    {ids::DeleteItem, &MainController::jumpListDeleteClicked},
    {ids::DeleteAllItem, &MainController::jumpListDeleteAllClicked},
    {ids::JumpToSelectedLineItem, &MainController::jumpToSelectedFunctionClicked},
    {ids::SendTreeCommandToCadItem, &MainController::sendTreeCommandToCadClicked},
    {ids::SendJumpListCommandToCadItem, &MainController::sendJumpListCommandToCadClicked},
    {ids::CopyFunctionNameItem, &MainController::copyFunctionNameClicked},
    {ids::CopyFunctionTextItem, &MainController::copyFunctionTextClicked},
};

bool isClick(int code) { return code == BN_CLICKED || code == BN_DOUBLECLICKED; }

// An action that stopped on an unexpected error.
void tellStopped(HWND owner, const Text& text) {
  topmostMessageBox(owner, toWide(text).c_str(), L"Nokari", MB_OK, true);
}

}  // namespace

Win32MainView::Win32MainView(HINSTANCE inst)
    : inst_(inst),
      upper_([this](int y) { moveUpperSplitter(y); }),
      lower_([this](int y) { moveLowerSplitter(y); }) {}

Win32MainView::~Win32MainView() = default;

bool Win32MainView::create() {
  HICON icon = LoadIconW(inst_, MAKEINTRESOURCEW(1));
  if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
  return DarkWindow::create(inst_, kFrame, icon, L"Nokari\u3000Ver.0.93", nullptr, CW_USEDEFAULT,
                            CW_USEDEFAULT) != nullptr;
}

void Win32MainView::start(int cmdShow) {
  pendingShow_ = cmdShow;
  forward([](MainController& c) { c.windowCreated(); });
  showPending();
  if (hwnd())
    SetPropW(hwnd(), NOKARI_STARTED_PROP, reinterpret_cast<HANDLE>(INT_PTR{ids::kStartOver}));
}

void Win32MainView::showPending() {
  if (!hwnd() || pendingShow_ < 0) return;
  ShowWindow(hwnd(), pendingShow_);
  pendingShow_ = -1;
  UpdateWindow(hwnd());
  SetPropW(hwnd(), NOKARI_STARTED_PROP, reinterpret_cast<HANDLE>(INT_PTR{ids::kStartShown}));
}

void Win32MainView::close() {
  if (hwnd()) DestroyWindow(hwnd());
}

template <typename F>
void Win32MainView::forward(F&& event) {
  if (!controller_ || eventDepth_ > 0 || destroyed_) return;
  ++eventDepth_;
  try {
    event(*controller_);
  } catch (const std::exception& e) {
    // Nothing may cross the message loop; the user learns that the action stopped.
    tellStopped(hwnd(), u"処理を中断しました.\n" + fromUtf8(e.what()));
  } catch (...) {
    tellStopped(hwnd(), u"処理を中断しました.");
  }
  --eventDepth_;
  afterEvent();
}

template <typename F>
bool Win32MainView::forwardKey(F&& event) {
  bool consumed = false;
  forward([&](MainController& c) { consumed = event(c); });
  return consumed;
}

void Win32MainView::afterEvent() {
  if (eventDepth_ == 0 && closePending_ && hwnd()) {
    closePending_ = false;
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);
  }
}

void Win32MainView::destroyOnce() {
  if (destroyed_) return;
  destroyed_ = true;
  if (!controller_) return;
  // A close asked for while the exit sequence shows its message waits for it.
  ++eventDepth_;
  try {
    controller_->windowClosing();
  } catch (...) {
    // The window is going away; there is nobody left to tell.
  }
  --eventDepth_;
}

LRESULT Win32MainView::ownMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      onCreate();
      return 0;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) layoutControls();
      return 0;
    case WM_GETMINMAXINFO:
      onMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lp));
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_NOTIFY:
      return onNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_DROPFILES:
      onDropFiles(reinterpret_cast<HDROP>(wp));
      return 0;
    case WM_CONTEXTMENU:
      onContextMenu(reinterpret_cast<HWND>(wp), lp);
      return 0;
    case WM_DRAWITEM:
      return onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    case WM_MEASUREITEM:
      return onMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
    case kMsgTreeClicked:
      forward([](MainController& c) { c.treeClicked(); });
      return 0;
    case kMsgFileNameClicked:
      forward([](MainController& c) { c.fileNameClicked(); });
      return 0;
    case kMsgPanelDoubleClicked:
      forward([](MainController& c) { c.panelDoubleClicked(); });
      return 0;
    case kMsgKeyNotify: {
      // Ctrl's state as the notice is handled, not as the key went down.
      const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
      const bool down = LOWORD(wp) == WM_KEYDOWN;
      const unsigned key = LOWORD(lp);
      forward([=](MainController& c) { c.keyNotified(down, key, ctrl); });
      return 0;
    }
    case WM_TIMER:
      if (wp == kReloadTimer) forward([](MainController& c) { c.timerTicked(); });
      return 0;
    case WM_CLOSE:
      onClose();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The process ends right after this; the settings must be written now.
      if (wp) destroyOnce();
      return 0;
    case WM_DESTROY:
      RemovePropW(hwnd(), NOKARI_STARTED_PROP);
      onDestroy();
      return 0;
    case WM_NCDESTROY:
      forgetControls();
      break;
  }
  return DarkWindow::ownMessage(msg, wp, lp);
}

void Win32MainView::onMinMaxInfo(MINMAXINFO& mm) const {
  const SIZE least = outerSize(layout::kMinClientW, layout::kMinClientH);
  mm.ptMinTrackSize = {least.cx, least.cy};
}

LRESULT Win32MainView::onDrawItem(const DRAWITEMSTRUCT& d) {
  if (d.CtlType == ODT_MENU) dark::drawMenuItem(d, fonts_.ui.get());
  return TRUE;
}

LRESULT Win32MainView::onMeasureItem(MEASUREITEMSTRUCT& m) {
  if (m.CtlType == ODT_MENU) dark::measureMenuItem(hwnd(), m, fonts_.ui.get(), dpi());
  return TRUE;
}

void Win32MainView::onClose() {
  // A close in the middle of an action (a load pumping messages, an open message box) waits
  // until the action is over.
  if (eventDepth_ > 0) {
    closePending_ = true;
    return;
  }
  // The exit sequence runs while the window still stands, so its message has an owner.
  destroyOnce();
  if (eventDepth_ == 0) DestroyWindow(hwnd());
}

void Win32MainView::onDestroy() {
  destroyOnce();
  keyWatch_.stop();
  if (timerRunning_) KillTimer(hwnd(), kReloadTimer);
  timerRunning_ = false;
  removeKeyboardNavigation(hwnd());
  DragAcceptFiles(hwnd(), FALSE);
  PostQuitMessage(0);
}

void Win32MainView::forgetControls() {
  tree_.forget();
  panel_.forget();
  progress_.forget();
  editorBox_.forget();
  hints_.forget();
  fileNameWnd_ = jumpListWnd_ = encodingWnd_ = jumpCheckWnd_ = reloadCheckWnd_ = nullptr;
}

COLORREF Win32MainView::labelColour(HWND ctl) const {
  return ctl && ctl == jumpCheckWnd_ ? dark::kWhite : dark::kText;
}

bool Win32MainView::isFlatButton(int id) const {
  return id == ids::DockLeftButton || id == ids::DockRightButton;
}

void Win32MainView::onCommand(int id, int code, HWND ctl) {
  if (ctl && ctl == jumpListWnd_) {
    if (code == LBN_DBLCLK) forward([](MainController& c) { c.jumpListDoubleClicked(); });
    return;
  }
  // Buttons send their clicks with the control; popup menu items come without one.
  if (ctl && !isClick(code)) return;
  auto lookUp = [id](const auto& table) -> const ButtonEvent* {
    const auto* found = std::find_if(std::begin(table), std::end(table),
                                     [id](const ButtonEvent& b) { return b.id == id; });
    return found == std::end(table) ? nullptr : found;
  };
  if (ctl && (id == ids::DockLeftButton || id == ids::DockRightButton)) {
    forward([right = id == ids::DockRightButton](MainController& c) { c.dockClicked(right); });
    return;
  }
  const ButtonEvent* found = ctl ? lookUp(kButtonEvents) : lookUp(kMenuEvents);
  if (found) forward([event = found->event](MainController& c) { (c.*event)(); });
}

LRESULT Win32MainView::onNotify(NMHDR* hdr) {
  if (!hdr || !tree_.wnd() || hdr->hwndFrom != tree_.wnd()) return 0;
  switch (hdr->code) {
    case NM_CLICK:
      // The tree changes its selection after this notification; act once it has.
      PostMessageW(hwnd(), kMsgTreeClicked, 0, 0);
      return 0;
    case NM_DBLCLK:
      forward([](MainController& c) { c.treeDoubleClicked(); });
      return 0;
    case TVN_SELCHANGEDW:
      if (!tree_.changingItself()) forward([](MainController& c) { c.treeClicked(); });
      return 0;
  }
  return 0;
}

void Win32MainView::onDropFiles(HDROP handle) {
  Drop drop(handle);
  TextList paths;
  const UINT count = DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // The whole path, whatever its length: a cut path could name another file.
    const UINT len = DragQueryFileW(drop.get(), i, nullptr, 0);
    std::wstring path(static_cast<size_t>(len) + 1, L'\0');
    const UINT got = DragQueryFileW(drop.get(), i, path.data(), len + 1);
    path.resize(got);
    paths.push_back(fromWide(path));
  }
  drop.reset();
  forward([&paths](MainController& c) { c.filesDropped(paths); });
}

void Win32MainView::onContextMenu(HWND ctl, LPARAM at) {
  HMENU menu = ctl == tree_.wnd()    ? treeMenu_.get()
               : ctl == jumpListWnd_ ? jumpListMenu_.get()
               : ctl == panel_.wnd() ? panelMenu_.get()
                                     : nullptr;
  if (!menu || !ctl) return;
  POINT p{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (at == -1) {
    // From the keyboard: at the control's top-left corner.
    RECT r{};
    GetWindowRect(ctl, &r);
    p = {r.left + 8, r.top + 8};
  }
  TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, p.x, p.y, hwnd(), nullptr);
}

bool Win32MainView::controlMessage(HWND ctl, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (ctl == tree_.wnd()) return treeMessage(msg, wp, lp, result);
  if (ctl == panel_.wnd()) return panelMessage(msg, wp, lp, result);
  if (ctl == jumpListWnd_) return jumpListMessage(msg, wp, lp, result);
  if (ctl == fileNameWnd_ && msg == WM_LBUTTONUP) {
    *result = DefSubclassProc(ctl, msg, wp, lp);
    PostMessageW(hwnd(), kMsgFileNameClicked, 0, 0);
    return true;
  }
  return false;
}

bool Win32MainView::treeMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  HWND ctl = tree_.wnd();
  switch (msg) {
    case WM_GETDLGCODE: {
      // Enter belongs to the tree, not to the window's keyboard navigation.
      *result = DefSubclassProc(ctl, msg, wp, lp);
      const MSG* m = reinterpret_cast<const MSG*>(lp);
      if (m && m->wParam == VK_RETURN && (m->message == WM_KEYDOWN || m->message == WM_CHAR))
        *result |= DLGC_WANTMESSAGE;
      return true;
    }
    case WM_CHAR:
      if (wp == VK_RETURN &&
          forwardKey([](MainController& c) { return c.treeKeyPressed(u'\r'); })) {
        *result = 0;
        return true;
      }
      return false;
    case WM_KEYUP:
      *result = DefSubclassProc(ctl, msg, wp, lp);
      forward([](MainController& c) { c.treeKeyReleased(); });
      return true;
  }
  return false;
}

bool Win32MainView::panelMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  HWND ctl = panel_.wnd();
  switch (msg) {
    case WM_CONTEXTMENU:
      onContextMenu(ctl, lp);
      *result = 0;
      return true;
    case WM_GETDLGCODE:
      // Read-only: Tab and Enter move on instead of being swallowed.
      *result = DefSubclassProc(ctl, msg, wp, lp) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
      return true;
    case WM_LBUTTONDBLCLK:
      // The box selects the word under the mouse first; the controller starts from that once
      // the box is done with the mouse (a jump waits on the editor while the box would still
      // hold the mouse capture).
      *result = DefSubclassProc(ctl, msg, wp, lp);
      PostMessageW(hwnd(), kMsgPanelDoubleClicked, 0, 0);
      return true;
  }
  return false;
}

bool Win32MainView::jumpListMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  HWND ctl = jumpListWnd_;
  switch (msg) {
    case WM_GETDLGCODE: {
      // Enter jumps from the list instead of pressing a default button.
      *result = DefSubclassProc(ctl, msg, wp, lp);
      const MSG* m = reinterpret_cast<const MSG*>(lp);
      if (m && m->wParam == VK_RETURN && (m->message == WM_KEYDOWN || m->message == WM_CHAR))
        *result |= DLGC_WANTMESSAGE;
      return true;
    }
    case WM_CHAR:
      if (wp == VK_RETURN &&
          forwardKey([](MainController& c) { return c.jumpListKeyPressed(u'\r'); })) {
        *result = 0;
        return true;
      }
      return false;
    case WM_LBUTTONDOWN:
      startingPoint_ = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      jumpListPressed_ = true;
      jumpListDragging_ = false;
      return false;
    case WM_MOUSEMOVE:
      // While the button is down the list does not follow the mouse with its selection: the
      // pressed entry is the one dragged.
      if (!jumpListPressed_) return false;
      if (!jumpListDragging_) {
        const int dx = GET_X_LPARAM(lp) - startingPoint_.x,
                  dy = GET_Y_LPARAM(lp) - startingPoint_.y;
        jumpListDragging_ = std::abs(dx) > GetSystemMetrics(SM_CXDRAG) ||
                            std::abs(dy) > GetSystemMetrics(SM_CYDRAG);
      }
      if (jumpListDragging_) SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
      *result = 0;
      return true;
    case WM_LBUTTONUP: {
      const bool dropped = jumpListDragging_;
      jumpListPressed_ = jumpListDragging_ = false;
      *result = DefSubclassProc(ctl, msg, wp, lp);
      if (dropped) {
        const int from = jumpListItemAt(startingPoint_);
        const int to = jumpListItemAt({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        forward([from, to](MainController& c) { c.jumpListDropped(from, to); });
      }
      return true;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != ctl) jumpListPressed_ = jumpListDragging_ = false;
      return false;
  }
  return false;
}

int Win32MainView::jumpListItemAt(POINT at) const {
  RECT client{};
  if (!jumpListWnd_ || !GetClientRect(jumpListWnd_, &client) || !PtInRect(&client, at)) return -1;
  const LRESULT hit = SendMessageW(jumpListWnd_, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
  if (HIWORD(hit) != 0) return -1;
  const int index = LOWORD(hit);
  const LRESULT count = SendMessageW(jumpListWnd_, LB_GETCOUNT, 0, 0);
  return index < count ? index : -1;
}

}  // namespace nokari::win
