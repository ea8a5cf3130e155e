#include "gui/win32/history_dialog.h"

#include <algorithm>

#include "gui/control_ids.h"
#include "gui/win32/dark_theme.h"
#include "gui/win32/dpi.h"
#include "gui/win32/message_loop.h"
#include "platform/win32/wide.h"

namespace nokari::win {

namespace {

constexpr int kClientW = 269, kClientH = 189, kListH = 143;
constexpr DarkWindow::Frame kFrame = {NOKARI_HISTORY_CLASS, CS_DBLCLKS,
                                      WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                      WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};

}  // namespace

bool HistoryDialog::create(HWND owner) {
  if (!DarkWindow::create(inst_, kFrame, nullptr, L"ファイル履歴", owner, 0, 0)) return false;
  const DWORD tab = WS_TABSTOP;
  listWnd_ = createChild(hwnd(), ids::HistoryList, L"LISTBOX", L"",
                         tab | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                         WS_EX_CLIENTEDGE);
  okWnd_ = createChild(hwnd(), ids::HistoryOk, L"BUTTON", L"OK", tab | BS_OWNERDRAW | WS_DISABLED);
  cancelWnd_ = createChild(hwnd(), ids::HistoryCancel, L"BUTTON", L"取り消し", tab | BS_OWNERDRAW);
  dark::useDarkControlStyle(listWnd_);
  applyFonts();
  const SIZE outer = outerSize(kClientW, kClientH);
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  layoutControls();
  return listWnd_ && okWnd_ && cancelWnd_;
}

void HistoryDialog::dpiChanged(int) { applyFonts(); }

void HistoryDialog::applyFonts() {
  listFont_ = makeFont(10, FW_NORMAL, L"Tahoma");
  uiFont_ = makeFont(8, FW_NORMAL, L"Tahoma");
  setFont(listWnd_, listFont_.get());
  setFont(okWnd_, uiFont_.get());
  setFont(cancelWnd_, uiFont_.get());
}

void HistoryDialog::layoutControls() {
  RECT rc{};
  GetClientRect(hwnd(), &rc);
  const int w = rc.right, h = rc.bottom;
  // The list keeps the buttons' strip below it; both stretch with the dialog.
  const int stripH = scaled(kClientH - kListH);
  MoveWindow(listWnd_, 0, 0, w, std::max(0, h - stripH), TRUE);
  const int bw = scaled(90), bh = scaled(28), top = h - stripH + (stripH - bh) / 2;
  MoveWindow(okWnd_, scaled(24), top, bw, bh, TRUE);
  MoveWindow(cancelWnd_, w - scaled(24) - bw, top, bw, bh, TRUE);
}

void HistoryDialog::fillList(const TextList& entries) {
  SendMessageW(listWnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(listWnd_, LB_RESETCONTENT, 0, 0);
  for (const Text& e : entries) {
    const std::wstring w = toWide(e);
    SendMessageW(listWnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  SendMessageW(listWnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(listWnd_, nullptr, TRUE);
}

std::optional<size_t> HistoryDialog::choose(const TextList& entries) {
  HWND dlg = hwnd();
  if (!dlg || running_) return std::nullopt;
  running_ = true;
  done_ = false;
  accepted_ = false;
  fillList(entries);

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

void HistoryDialog::onCommand(int id, int code) {
  if (id == ids::HistoryList && code == LBN_SELCHANGE) {
    // OK is usable exactly while an entry is selected; it keeps its state when the dialog is
    // shown again.
    EnableWindow(okWnd_, SendMessageW(listWnd_, LB_GETCURSEL, 0, 0) != LB_ERR);
  } else if (id == ids::HistoryOk && running_ && IsWindowEnabled(okWnd_)) {
    finish(true);
  } else if (id == ids::HistoryCancel && running_) {
    finish(false);
  }
}

LRESULT HistoryDialog::ownMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      onCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(ids::HistoryOk, DC_HASDEFID);
    case WM_CLOSE:
      if (running_) finish(false);
      return 0;
    case WM_SIZE:
      layoutControls();
      return 0;
    case WM_DESTROY:
      done_ = true;
      listWnd_ = okWnd_ = cancelWnd_ = nullptr;
      break;
  }
  return DarkWindow::ownMessage(msg, wp, lp);
}

}  // namespace nokari::win
