#include "gui/win32/main_window.h"

#include <windowsx.h>

#include <exception>

#include "gui/win32/control_ids.h"
#include "gui/win32/dark_theme.h"
#include "gui/win32/dpi.h"
#include "gui/win32/message_boxes.h"
#include "gui/win32/message_loop.h"
#include "platform/win32/wide.h"

namespace nokari::win {

namespace {

constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExStyle =
    WS_EX_TOPMOST | WS_EX_ACCEPTFILES | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

// Events that run after the control that caused them has finished with the mouse.
constexpr UINT kMsgTreeClicked = WM_APP + 1;
constexpr UINT kMsgFileNameClicked = WM_APP + 2;

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
  registerClass(inst_, NOKARI_MAIN_CLASS, 0, dark::brushes().window.get(), icon);
  return Window::create(inst_, kExStyle, NOKARI_MAIN_CLASS, L"Nokari\u3000Ver.0.93", kStyle,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                        nullptr) != nullptr;
}

void Win32MainView::start() {
  forward([](MainController& c) { c.windowCreated(); });
}

void Win32MainView::show(int cmdShow) {
  if (!hwnd()) return;
  ShowWindow(hwnd(), cmdShow);
  UpdateWindow(hwnd());
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
  try {
    controller_->windowDestroyed();
  } catch (...) {
    // The window is going away; there is nobody left to tell.
  }
}

LRESULT Win32MainView::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      dpi_ = dpiOf(hwnd());
      areas_ = layout::designAreas(dpi_);
      createControls();
      applyDpi(dpi_);
      {
        const SIZE outer =
            outerSizeFor(layout::scale(layout::kClientW, dpi_),
                         layout::scale(layout::kClientH, dpi_), kStyle, kExStyle, dpi_);
        const POINT at = centredOnScreen(hwnd(), outer.cx, outer.cy);
        SetWindowPos(hwnd(), nullptr, at.x, at.y, outer.cx, outer.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      dark::useDarkTitleBar(hwnd());
      DragAcceptFiles(hwnd(), TRUE);
      addKeyboardNavigation(hwnd());
      return 0;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) layoutControls();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
      const SIZE least =
          outerSizeFor(layout::scale(layout::kMinClientW, dpi_),
                       layout::scale(layout::kMinClientH, dpi_), kStyle, kExStyle, dpi_);
      mm->ptMinTrackSize = {least.cx, least.cy};
      return 0;
    }
    case WM_DPICHANGED: {
      const int newDpi = HIWORD(wp);
      areas_ = layout::rescaleAreas(areas_, dpi_, newDpi);
      applyDpi(newDpi);
      const RECT* r = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      layoutControls();
      return 0;
    }
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
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return onColour(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DRAWITEM: {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d->CtlType == ODT_MENU) {
        dark::drawMenuItem(*d, fonts_.ui.get());
      } else if (d->CtlType == ODT_BUTTON) {
        const bool flat = d->CtlID == ids::DockLeftButton || d->CtlID == ids::DockRightButton;
        dark::drawButton(*d, flat);
      }
      return TRUE;
    }
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (m->CtlType == ODT_MENU) dark::measureMenuItem(hwnd(), *m, fonts_.ui.get(), dpi_);
      return TRUE;
    }
    case kMsgTreeClicked:
      forward([](MainController& c) { c.treeClicked(); });
      return 0;
    case kMsgFileNameClicked:
      forward([](MainController& c) { c.fileNameClicked(); });
      return 0;
    case WM_CLOSE:
      // A close in the middle of an action (a load pumping messages, an open message box)
      // waits until the action is over.
      if (eventDepth_ > 0) {
        closePending_ = true;
        return 0;
      }
      DestroyWindow(hwnd());
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The process ends right after this; the settings must be written now.
      if (wp) destroyOnce();
      return 0;
    case WM_DESTROY:
      destroyOnce();
      removeKeyboardNavigation(hwnd());
      DragAcceptFiles(hwnd(), FALSE);
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      treeWnd_ = panelWnd_ = fileNameWnd_ = jumpListWnd_ = editorBoxWnd_ = tooltipWnd_ = nullptr;
      progress_.wnd = nullptr;
      break;
  }
  return Window::handleMessage(msg, wp, lp);
}

void Win32MainView::onCommand(int id, int code, HWND ctl) {
  if (!ctl) return;  // popup menu items: their actions come with later features
  if (!isClick(code)) return;
  switch (id) {
    case ids::OpenButton:
      forward([](MainController& c) { c.openClicked(); });
      break;
    case ids::ParenthesisCheckButton:
      forward([](MainController& c) { c.parenthesisCheckClicked(); });
      break;
    case ids::VariableCheckButton:
      forward([](MainController& c) { c.variableCheckClicked(); });
      break;
    case ids::ExclusionListButton:
      forward([](MainController& c) { c.exclusionListClicked(); });
      break;
    case ids::FunctionCheckButton:
      forward([](MainController& c) { c.functionCheckClicked(); });
      break;
    case ids::CatalogueButton:
      forward([](MainController& c) { c.catalogueClicked(); });
      break;
    case ids::HistoryButton:
      forward([](MainController& c) { c.historyClicked(); });
      break;
    default:
      break;  // CAD, editor and docking buttons come with later features
  }
}

LRESULT Win32MainView::onNotify(NMHDR* hdr) {
  if (!hdr || !treeWnd_ || hdr->hwndFrom != treeWnd_) return 0;
  switch (hdr->code) {
    case NM_CLICK:
      // The tree changes its selection after this notification; act once it has.
      PostMessageW(hwnd(), kMsgTreeClicked, 0, 0);
      return 0;
    case NM_DBLCLK:
      forward([](MainController& c) { c.treeDoubleClicked(); });
      return 0;
    case TVN_SELCHANGEDW:
      if (!treeFilling_) forward([](MainController& c) { c.treeClicked(); });
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
  HMENU menu = ctl == treeWnd_       ? treeMenu_.get()
               : ctl == jumpListWnd_ ? jumpListMenu_.get()
               : ctl == panelWnd_    ? panelMenu_.get()
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

LRESULT Win32MainView::onColour(UINT msg, HDC dc, HWND ctl) {
  const auto& b = dark::brushes();
  // Read-only edits ask with WM_CTLCOLORSTATIC; they still look like fields.
  if (msg != WM_CTLCOLORSTATIC || ctl == fileNameWnd_ || ctl == panelWnd_) {
    if (msg == WM_CTLCOLORBTN) return reinterpret_cast<LRESULT>(b.window.get());
    SetTextColor(dc, dark::kText);
    SetBkColor(dc, dark::kField);
    return reinterpret_cast<LRESULT>(b.field.get());
  }
  const int id = GetDlgCtrlID(ctl);
  SetTextColor(dc, id == ids::JumpCheck ? dark::kWhite : dark::kText);
  SetBkColor(dc, dark::kWindow);
  return reinterpret_cast<LRESULT>(b.window.get());
}

bool Win32MainView::controlMessage(HWND ctl, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (ctl == treeWnd_) {
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
  if (ctl == panelWnd_) {
    switch (msg) {
      case WM_CONTEXTMENU:
        onContextMenu(ctl, lp);
        *result = 0;
        return true;
      case WM_GETDLGCODE:
        // Read-only: Tab and Enter move on instead of being swallowed.
        *result = DefSubclassProc(ctl, msg, wp, lp) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
        return true;
    }
    return false;
  }
  if (ctl == fileNameWnd_ && msg == WM_LBUTTONUP) {
    *result = DefSubclassProc(ctl, msg, wp, lp);
    PostMessageW(hwnd(), kMsgFileNameClicked, 0, 0);
    return true;
  }
  return false;
}

}  // namespace nokari::win
