#include "gui/win32/dark_window.h"

#include "gui/main_layout.h"
#include "gui/win32/dark_theme.h"
#include "gui/win32/dpi.h"

namespace nokari::win {

namespace {

bool isEdit(HWND ctl) {
  wchar_t cls[16] = {};
  return GetClassNameW(ctl, cls, 16) > 0 && lstrcmpiW(cls, L"Edit") == 0;
}

LRESULT brushResult(const Brush& b) { return reinterpret_cast<LRESULT>(b.get()); }

}  // namespace

HWND DarkWindow::create(HINSTANCE inst, const Frame& frame, HICON icon, const wchar_t* title,
                        HWND owner, int w, int h) {
  frame_ = frame;
  registerClass(inst, frame.cls, frame.classStyle, dark::brushes().window.get(), icon);
  return Window::create(inst, frame.exStyle, frame.cls, title, frame.style, CW_USEDEFAULT,
                        CW_USEDEFAULT, w, h, owner, nullptr);
}

LRESULT DarkWindow::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      dpi_ = dpiOf(hwnd());
      dark::useDarkTitleBar(hwnd());
      break;
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return onColour(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DRAWITEM: {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d->CtlType != ODT_BUTTON) break;
      dark::drawButton(*d, isFlatButton(static_cast<int>(d->CtlID)));
      return TRUE;
    }
  }
  return ownMessage(msg, wp, lp);
}

LRESULT DarkWindow::ownMessage(UINT msg, WPARAM wp, LPARAM lp) {
  return Window::handleMessage(msg, wp, lp);
}

COLORREF DarkWindow::labelColour(HWND) const { return dark::kText; }

bool DarkWindow::isFlatButton(int) const { return false; }

int DarkWindow::scaled(int designLength) const { return layout::scale(designLength, dpi_); }

SIZE DarkWindow::outerSize(int designClientW, int designClientH) const {
  return outerSizeFor(scaled(designClientW), scaled(designClientH), frame_.style, frame_.exStyle,
                      dpi_);
}

Font DarkWindow::makeFont(int points, int weight, const wchar_t* face) const {
  return win::makeFont(points, dpi_, weight, face);
}

void DarkWindow::onDpiChanged(int newDpi, const RECT& suggested) {
  const int oldDpi = dpi_;
  dpi_ = newDpi;
  dpiChanged(oldDpi);
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  layoutControls();
}

LRESULT DarkWindow::onColour(UINT msg, HDC dc, HWND ctl) const {
  const auto& b = dark::brushes();
  if (msg == WM_CTLCOLORBTN) return brushResult(b.window);
  // Read-only edits ask with WM_CTLCOLORSTATIC; they still look like fields.
  if (msg != WM_CTLCOLORSTATIC || isEdit(ctl)) {
    SetTextColor(dc, dark::kText);
    SetBkColor(dc, dark::kField);
    return brushResult(b.field);
  }
  SetTextColor(dc, labelColour(ctl));
  SetBkColor(dc, dark::kWindow);
  return brushResult(b.window);
}

}  // namespace nokari::win
