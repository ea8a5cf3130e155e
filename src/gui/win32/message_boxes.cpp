#include "gui/win32/message_boxes.h"

#include "gui/win32/dpi.h"
#include "gui/win32/win_handles.h"

namespace nokari::win {

namespace {

// The box being centred: one at a time on the UI thread.
struct Centring {
  HHOOK hook = nullptr;
  HWND nearWnd = nullptr;
};
Centring* g_centring = nullptr;

LRESULT CALLBACK centreOnActivate(int code, WPARAM wp, LPARAM lp) {
  Centring* c = g_centring;
  HHOOK hook = c ? c->hook : nullptr;
  if (c && code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wp);
    wchar_t cls[16] = {};
    GetClassNameW(box, cls, 16);
    // Only the message box itself (the dialog class), and only its first activation.
    if (lstrcmpW(cls, L"#32770") == 0) {
      RECT r{};
      if (GetWindowRect(box, &r)) {
        const int w = r.right - r.left, h = r.bottom - r.top;
        POINT p = centredOnScreen(c->nearWnd, w, h);
        SetWindowPos(box, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      c->nearWnd = nullptr;
      g_centring = nullptr;
    }
  }
  return CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

int topmostMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags,
                      bool centred) {
  if (owner && !IsWindow(owner)) owner = nullptr;
  Hook hook;
  Centring centring;
  if (centred && !g_centring) {
    hook.reset(SetWindowsHookExW(WH_CBT, &centreOnActivate, nullptr, GetCurrentThreadId()));
    if (hook) {
      centring.hook = hook.get();
      centring.nearWnd = owner;
      g_centring = &centring;
    }
  }
  int r = MessageBoxW(owner, text, caption, flags | MB_TOPMOST | MB_SETFOREGROUND);
  if (g_centring == &centring) g_centring = nullptr;
  return r;
}

}  // namespace nokari::win
