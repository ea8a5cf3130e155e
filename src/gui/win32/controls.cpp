// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "gui/win32/controls.h"

#include <algorithm>

#include "gui/win32/dark_theme.h"
#include "gui/win32/message_loop.h"
#include "gui/win32/win_handles.h"
#include "gui/win32/window.h"
#include "platform/win32/wide.h"

namespace nokari::win {

bool HintTip::create(HWND owner) {
  owner_ = owner;
  auto* inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  wnd_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                         WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, inst, nullptr);
  if (!wnd_) return false;
  dark::useClassicLook(wnd_);
  SendMessageW(wnd_, TTM_SETTIPBKCOLOR, dark::kMenu, 0);
  SendMessageW(wnd_, TTM_SETTIPTEXTCOLOR, dark::kText, 0);
  SendMessageW(wnd_, TTM_SETMAXTIPWIDTH, 0, 600);
  return true;
}

void HintTip::add(HWND ctl, const wchar_t* hint) { send(TTM_ADDTOOLW, ctl, hint); }

void HintTip::change(HWND ctl, const wchar_t* hint) { send(TTM_UPDATETIPTEXTW, ctl, hint); }

void HintTip::send(UINT msg, HWND ctl, const wchar_t* hint) const {
  if (!wnd_ || !ctl) return;
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = owner_;
  ti.uId = reinterpret_cast<UINT_PTR>(ctl);
  ti.lpszText = const_cast<wchar_t*>(hint);
  SendMessageW(wnd_, msg, 0, reinterpret_cast<LPARAM>(&ti));
}

bool PanelControl::create(HWND parent, int id, HintTip& hints) {
  hints_ = &hints;
  if (!box_.create(parent, id)) return false;
  wnd_ = box_.hwnd();
  hints.add(wnd_, L"");
  dark::useDarkControlStyle(wnd_);
  return true;
}

void PanelControl::setLines(const TextList& lines) {
  if (wnd_) box_.setLines(lines);
}

void PanelControl::setHint(const Text& hint) {
  if (wnd_ && hints_) hints_->change(wnd_, toWide(hint).c_str());
}

void PanelControl::scrollToTop() {
  if (!wnd_) return;
  // Back by as many lines as the caret is down, then the caret to the very start.
  DWORD selStart = 0;
  SendMessageW(wnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), 0);
  const LRESULT line = SendMessageW(wnd_, EM_LINEFROMCHAR, selStart, 0);
  SendMessageW(wnd_, EM_LINESCROLL, 0, -line);
  SendMessageW(wnd_, EM_SETSEL, 0, 0);
  // The panel may have been scrolled away from the caret; the first line shows in any case.
  SendMessageW(wnd_, WM_VSCROLL, SB_TOP, 0);
  SendMessageW(wnd_, WM_HSCROLL, SB_LEFT, 0);
}

MainView::PanelSelection PanelControl::selection() const {
  MainView::PanelSelection sel;
  if (!wnd_) return sel;
  DWORD from = 0, to = 0;
  SendMessageW(wnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  const PanelText& text = box_.text();
  const size_t start = text.clamp(std::min(from, to));
  const size_t end = text.clamp(std::max(from, to));
  sel.start = start;
  sel.length = end - start;
  sel.text = text.whole().substr(start, end - start);
  const size_t line = text.lineOf(start);
  sel.lineStart = text.lineStart(line);
  sel.line = Text(text.line(line));
  return sel;
}

void PanelControl::select(size_t start, size_t length) {
  if (wnd_) SendMessageW(wnd_, EM_SETSEL, start, start + length);
}

bool ProgressBar::create(HWND parent, int id) {
  wnd_ = createChild(parent, id, PROGRESS_CLASSW, L"", PBS_SMOOTH);
  if (!wnd_) return false;
  SendMessageW(wnd_, PBM_SETRANGE32, 0, 100);
  dark::useClassicLook(wnd_);
  SendMessageW(wnd_, PBM_SETBARCOLOR, 0, dark::kProgressBar);
  SendMessageW(wnd_, PBM_SETBKCOLOR, 0, dark::kField);
  return true;
}

int ProgressBar::position() const { return wnd_ ? pos_ : 0; }

void ProgressBar::setPosition(int pos) {
  if (!wnd_) return;
  pos = std::clamp(pos, 0, 100);
  if (pos == pos_) return;
  const DWORD now = GetTickCount();
  // Work that starts after a quiet spell gets its first repaint a full period later: a short
  // action finishes without ever painting in between.
  if (pos_ == 0 && now - lastPaint_ > kPaintPeriodMs) lastPaint_ = now;
  pos_ = pos;
  SendMessageW(wnd_, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
  if (now - lastPaint_ >= kPaintPeriodMs) {
    lastPaint_ = now;
    // The bar and every other window of the thread repaint; input waits for the action's end.
    pumpPaint();
  }
}

bool ChoiceBox::create(HWND parent, int id, const wchar_t* const* items, size_t count) {
  wnd_ = createChild(parent, id, L"COMBOBOX", L"", WS_TABSTOP | CBS_DROPDOWN | WS_VSCROLL);
  if (!wnd_) return false;
  for (size_t i = 0; i < count; ++i)
    SendMessageW(wnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
  SendMessageW(wnd_, CB_SETCURSEL, 0, 0);
  dark::useDarkControlStyle(wnd_, L"DarkMode_CFD");
  return true;
}

std::wstring ChoiceBox::item(int index) const {
  const LRESULT n = SendMessageW(wnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == CB_ERR || n < 0) return {};
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(wnd_, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(s.data()));
  s.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
  return s;
}

int ChoiceBox::chosen() const {
  if (!wnd_) return -1;
  const std::wstring typed = windowText(wnd_);
  const LRESULT sel = SendMessageW(wnd_, CB_GETCURSEL, 0, 0);
  if (sel != CB_ERR && sel >= 0 && item(static_cast<int>(sel)) == typed)
    return static_cast<int>(sel);
  const LRESULT count = SendMessageW(wnd_, CB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i)
    if (item(i) == typed) return i;
  return -1;
}

void ChoiceBox::choose(int index) {
  if (!wnd_) return;
  const LRESULT count = SendMessageW(wnd_, CB_GETCOUNT, 0, 0);
  if (index < 0 || index >= count) index = -1;
  SendMessageW(wnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool isChecked(HWND checkBox) {
  return checkBox && SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setChecked(HWND checkBox, bool on) {
  if (checkBox) SendMessageW(checkBox, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace nokari::win
