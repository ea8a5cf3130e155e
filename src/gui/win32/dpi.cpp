#include "gui/win32/dpi.h"

#include "gui/win32/win_handles.h"

namespace nokari::win {

namespace {

template <typename F>
F user32Proc(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

}  // namespace

int dpiOf(HWND wnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = user32Proc<GetDpiForWindowFn>("GetDpiForWindow");
  if (wnd && getDpiForWindow) {
    UINT dpi = getDpiForWindow(wnd);
    if (dpi >= 48) return static_cast<int>(dpi);
  }
  WindowDc screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi >= 48 ? dpi : 96;
}

SIZE outerSizeFor(int clientW, int clientH, DWORD style, DWORD exStyle, int dpi) {
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = user32Proc<AdjustFn>("AdjustWindowRectExForDpi");
  RECT r{0, 0, clientW, clientH};
  if (!(adjustForDpi && adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))))
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

int fontHeight(int points, int dpi) { return -MulDiv(points, dpi, 72); }

Font makeFont(int points, int dpi, int weight, const wchar_t* face) {
  return Font(CreateFontW(fontHeight(points, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

POINT centredOnScreen(HWND nearWnd, int w, int h) {
  HMONITOR mon = nearWnd ? MonitorFromWindow(nearWnd, MONITOR_DEFAULTTONEAREST)
                         : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (mon && GetMonitorInfoW(mon, &mi)) area = mi.rcWork;
  LONG x = area.left + (area.right - area.left - w) / 2;
  LONG y = area.top + (area.bottom - area.top - h) / 2;
  // Keep the title bar reachable when the window is larger than the work area.
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  return {x, y};
}

}  // namespace nokari::win
