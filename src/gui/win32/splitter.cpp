#include "gui/win32/splitter.h"

#include <windowsx.h>

#include "gui/win32/dark_theme.h"

namespace nokari::win {

namespace {
constexpr wchar_t kClass[] = L"NokariSplitter";
}

bool Splitter::create(HINSTANCE inst, HWND parent, int id) {
  registerClass(inst, kClass, 0, dark::brushes().splitter.get(), nullptr);
  return Window::create(inst, 0, kClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

LRESULT Splitter::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
      return TRUE;
    case WM_LBUTTONDOWN:
      grabY_ = GET_Y_LPARAM(lp);
      SetCapture(hwnd());
      return 0;
    case WM_MOUSEMOVE:
      if (grabY_ >= 0 && GetCapture() == hwnd()) {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        HWND parent = GetParent(hwnd());
        MapWindowPoints(hwnd(), parent, &p, 1);
        if (moved_) moved_(p.y - grabY_);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd()) ReleaseCapture();
      grabY_ = -1;
      return 0;
    case WM_CAPTURECHANGED:
      grabY_ = -1;
      return 0;
  }
  return Window::handleMessage(msg, wp, lp);
}

}  // namespace nokari::win
