#include "gui/win32/history_dialog.h"

#include "gui/win32/control_ids.h"
#include "gui/win32/dark_theme.h"
#include "gui/win32/dpi.h"
#include "gui/main_layout.h"
#include "gui/win32/message_loop.h"
#include "platform/win32/wide.h"

namespace nokari::win {

namespace {

constexpr int kClientW = 269, kClientH = 189, kListH = 143;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

HMENU idOf(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

}  // namespace

bool HistoryDialog::create(HWND owner) {
  registerClass(inst_, NOKARI_HISTORY_CLASS, CS_DBLCLKS, dark::brushes().window.get(), nullptr);
  if (!Window::create(inst_, kExStyle, NOKARI_HISTORY_CLASS, L"ファイル履歴", kStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, 0, 0, owner, nullptr))
    return false;
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  listWnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                          child | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0,
                          0, 0, hwnd(), idOf(ids::HistoryList), inst_, nullptr);
  okWnd_ = CreateWindowExW(0, L"BUTTON", L"OK", child | BS_OWNERDRAW | WS_DISABLED, 0, 0, 0, 0, hwnd(),
                        idOf(ids::HistoryOk), inst_, nullptr);
  cancelWnd_ = CreateWindowExW(0, L"BUTTON", L"取り消し", child | BS_OWNERDRAW, 0, 0, 0, 0, hwnd(),
                            idOf(ids::HistoryCancel), inst_, nullptr);
  dark::useDarkTitleBar(hwnd());
  dark::useDarkControlStyle(listWnd_);
  applyDpi(dpiOf(hwnd()));
  return listWnd_ && okWnd_ && cancelWnd_;
}

void HistoryDialog::applyDpi(int dpi) {
  dpi_ = dpi;
  listFont_.reset(CreateFontW(fontHeight(10, dpi), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0,
                              0, CLEARTYPE_QUALITY, 0, L"Tahoma"));
  uiFont_.reset(CreateFontW(fontHeight(8, dpi), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                            CLEARTYPE_QUALITY, 0, L"Tahoma"));
  SendMessageW(listWnd_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), TRUE);
  SendMessageW(okWnd_, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.get()), TRUE);
  SendMessageW(cancelWnd_, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.get()), TRUE);
  const SIZE outer = outerSizeFor(layout::scale(kClientW, dpi), layout::scale(kClientH, dpi),
                                  kStyle, kExStyle, dpi);
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  layoutControls();
}

void HistoryDialog::layoutControls() {
  RECT rc{};
  GetClientRect(hwnd(), &rc);
  auto s = [this](int v) { return layout::scale(v, dpi_); };
  const int w = rc.right, h = rc.bottom;
  // The list keeps the buttons' strip below it; both stretch with the dialog.
  const int stripH = s(kClientH - kListH);
  MoveWindow(listWnd_, 0, 0, w, std::max(0, h - stripH), TRUE);
  const int bw = s(90), bh = s(28), top = h - stripH + (stripH - bh) / 2;
  MoveWindow(okWnd_, s(24), top, bw, bh, TRUE);
  MoveWindow(cancelWnd_, w - s(24) - bw, top, bw, bh, TRUE);
}

std::optional<size_t> HistoryDialog::choose(const TextList& entries) {
  HWND dlg = hwnd();
  if (!dlg || running_) return std::nullopt;
  running_ = true;
  done_ = false;
  accepted_ = false;

  SendMessageW(listWnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(listWnd_, LB_RESETCONTENT, 0, 0);
  for (const Text& e : entries) {
    const std::wstring w = toWide(e);
    SendMessageW(listWnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  SendMessageW(listWnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(listWnd_, nullptr, TRUE);

  RECT r{};
  GetWindowRect(dlg, &r);
  HWND owner = GetWindow(dlg, GW_OWNER);
  const POINT p = centredOnScreen(owner, r.right - r.left, r.bottom - r.top);
  SetWindowPos(dlg, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  addKeyboardNavigation(dlg);
  ShowWindow(dlg, SW_SHOW);
  SetForegroundWindow(dlg);
  SetFocus(listWnd_);

  runUntil([this] { return done_ || !hwnd(); });

  removeKeyboardNavigation(dlg);
  // The owner is enabled before the dialog hides so that it, not another program, becomes
  // the active window.
  if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
  std::optional<size_t> chosen;
  if (hwnd()) {
    if (accepted_) {
      LRESULT sel = SendMessageW(listWnd_, LB_GETCURSEL, 0, 0);
      if (sel != LB_ERR && sel >= 0 && static_cast<size_t>(sel) < entries.size())
        chosen = static_cast<size_t>(sel);
    }
    ShowWindow(dlg, SW_HIDE);
  }
  running_ = false;
  return chosen;
}

void HistoryDialog::finish(bool ok) {
  accepted_ = ok;
  done_ = true;
}

LRESULT HistoryDialog::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wp), code = HIWORD(wp);
      if (id == ids::HistoryList && code == LBN_SELCHANGE) {
        // OK is usable exactly while an entry is selected; it keeps its state when the
        // dialog is shown again.
        EnableWindow(okWnd_, SendMessageW(listWnd_, LB_GETCURSEL, 0, 0) != LB_ERR);
      } else if (id == ids::HistoryOk && running_ && IsWindowEnabled(okWnd_)) {
        finish(true);
      } else if (id == ids::HistoryCancel && running_) {
        finish(false);
      }
      return 0;
    }
    case DM_GETDEFID:
      return MAKELRESULT(ids::HistoryOk, DC_HASDEFID);
    case WM_CLOSE:
      if (running_) finish(false);
      return 0;
    case WM_SIZE:
      layoutControls();
      return 0;
    case WM_DPICHANGED: {
      const RECT* r = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      applyDpi(HIWORD(wp));
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d->CtlType == ODT_BUTTON) {
        dark::drawButton(*d, false);
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, dark::kText);
      SetBkColor(dc, dark::kField);
      return reinterpret_cast<LRESULT>(dark::brushes().field.get());
    }
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(dark::brushes().window.get());
    case WM_DESTROY:
      done_ = true;
      listWnd_ = okWnd_ = cancelWnd_ = nullptr;
      break;
  }
  return Window::handleMessage(msg, wp, lp);
}

}  // namespace nokari::win
