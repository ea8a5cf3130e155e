#include "gui/win32/window.h"

#include <commctrl.h>

namespace nokari::win {

namespace {
// The subclass id of every control routed through controlMessage.
constexpr UINT_PTR kSubclassId = 0x4E4B;
}  // namespace

HWND createChild(HWND parent, int id, const wchar_t* cls, const wchar_t* text, DWORD style,
                 DWORD exStyle) {
  auto* inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
}

std::wstring windowText(HWND wnd) {
  if (!wnd) return {};
  const int n = GetWindowTextLengthW(wnd);
  std::wstring s(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
  const int got = GetWindowTextW(wnd, s.data(), static_cast<int>(s.size()));
  s.resize(static_cast<size_t>(got > 0 ? got : 0));
  return s;
}

void setFont(HWND ctl, HFONT font) {
  if (ctl) SendMessageW(ctl, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

Window::~Window() {
  if (wnd_ && IsWindow(wnd_)) {
    // Unbind first: the window may outlive nothing of this object.
    SetWindowLongPtrW(wnd_, GWLP_USERDATA, 0);
    HWND w = wnd_;
    wnd_ = nullptr;
    DestroyWindow(w);
  }
}

bool Window::registerClass(HINSTANCE inst, const wchar_t* name, UINT style, HBRUSH background,
                           HICON icon) {
  WNDCLASSEXW wc{};
  if (GetClassInfoExW(inst, name, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &Window::thunk;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}

HWND Window::create(HINSTANCE inst, DWORD exStyle, const wchar_t* cls, const wchar_t* title,
                    DWORD style, int x, int y, int w, int h, HWND parent, HMENU menuOrId) {
  return CreateWindowExW(exStyle, cls, title, style, x, y, w, h, parent, menuOrId, inst, this);
}

LRESULT Window::handleMessage(UINT msg, WPARAM wp, LPARAM lp) { return defaultProc(msg, wp, lp); }

bool Window::controlMessage(HWND, UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool Window::subclassControl(HWND ctl) {
  return ctl && SetWindowSubclass(ctl, &Window::subclassThunk, kSubclassId,
                                  reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Window::thunk(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    self = static_cast<Window*>(cs->lpCreateParams);
    if (self) {
      self->wnd_ = wnd;
      SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(wnd, msg, wp, lp);
  LRESULT r = self->handleMessage(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    self->wnd_ = nullptr;
  }
  return r;
}

LRESULT CALLBACK Window::subclassThunk(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                       DWORD_PTR selfData) {
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(wnd, &Window::subclassThunk, kSubclassId);
    return DefSubclassProc(wnd, msg, wp, lp);
  }
  auto* self = reinterpret_cast<Window*>(selfData);
  LRESULT result = 0;
  // The owner may already be gone while its controls are torn down.
  if (self && self->wnd_ && self->controlMessage(wnd, msg, wp, lp, &result)) return result;
  return DefSubclassProc(wnd, msg, wp, lp);
}

}  // namespace nokari::win
