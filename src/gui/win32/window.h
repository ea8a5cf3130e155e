// The one window-procedure thunk: a window object is bound to its HWND on WM_NCCREATE and
// every message goes to its handler. Controls it subclasses report to the same object.
#pragma once

#include <windows.h>

#include <string>

namespace nokari::win {

// A visible child control with the id; it is placed by the parent's layout.
HWND createChild(HWND parent, int id, const wchar_t* cls, const wchar_t* text, DWORD style,
                 DWORD exStyle = 0);
// The window's whole text.
std::wstring windowText(HWND wnd);
// Gives the control the font, repainting it (nothing for a null control).
void setFont(HWND ctl, HFONT font);

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The window, or nullptr before creation and after WM_NCDESTROY.
  HWND hwnd() const { return wnd_; }

 protected:
  // Registers a window class served by the thunk; registering twice is harmless.
  static bool registerClass(HINSTANCE inst, const wchar_t* name, UINT style, HBRUSH background,
                            HICON icon);
  // Creates the window bound to this object.
  HWND create(HINSTANCE inst, DWORD exStyle, const wchar_t* cls, const wchar_t* title, DWORD style,
              int x, int y, int w, int h, HWND parent, HMENU menuOrId);

  virtual LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // A message to a control subclassed with subclassControl; return true when handled
  // (then *result is the answer), false to let the control have it.
  virtual bool controlMessage(HWND ctl, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

  // Routes the control's messages through controlMessage until the control is destroyed.
  bool subclassControl(HWND ctl);

  LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(wnd_, msg, wp, lp); }

 private:
  static LRESULT CALLBACK thunk(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK subclassThunk(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self);
  HWND wnd_ = nullptr;
};

}  // namespace nokari::win
