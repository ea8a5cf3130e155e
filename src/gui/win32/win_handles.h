// Small owners for Win32 handles: each frees its handle once, copying is deleted.
#pragma once

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include <utility>

namespace nokari::win {

template <typename H, typename Free>
class Owned {
 public:
  Owned() = default;
  explicit Owned(H h) : h_(h) {}
  ~Owned() { reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  Owned& operator=(Owned&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  void reset(H h = nullptr) {
    if (h_) Free::free(h_);
    h_ = h;
  }
  H get() const { return h_; }
  H release() { return std::exchange(h_, nullptr); }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  H h_ = nullptr;
};

struct GdiFree {
  static void free(HGDIOBJ h) { DeleteObject(h); }
};
struct ImageListFree {
  static void free(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct MenuFree {
  static void free(HMENU h) { DestroyMenu(h); }
};
struct HookFree {
  static void free(HHOOK h) { UnhookWindowsHookEx(h); }
};
struct DropFree {
  static void free(HDROP h) { DragFinish(h); }
};
struct ModuleFree {
  static void free(HMODULE h) { FreeLibrary(h); }
};

using Font = Owned<HFONT, GdiFree>;
using Brush = Owned<HBRUSH, GdiFree>;
using Pen = Owned<HPEN, GdiFree>;
using Bitmap = Owned<HBITMAP, GdiFree>;
using ImageList = Owned<HIMAGELIST, ImageListFree>;
using Menu = Owned<HMENU, MenuFree>;
using Hook = Owned<HHOOK, HookFree>;
using Drop = Owned<HDROP, DropFree>;
using Module = Owned<HMODULE, ModuleFree>;

// Selects a GDI object into a device context for one scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
  ~Selected() {
    if (old_) SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window's device context (the screen's for nullptr), released at the end of the scope.
class WindowDc {
 public:
  explicit WindowDc(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(wnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

// A memory device context.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Turns a window's redrawing off for one scope and repaints it at the end.
class RedrawOff {
 public:
  explicit RedrawOff(HWND wnd) : wnd_(wnd) {
    if (wnd_) SendMessageW(wnd_, WM_SETREDRAW, FALSE, 0);
  }
  ~RedrawOff() {
    if (wnd_ && IsWindow(wnd_)) {
      SendMessageW(wnd_, WM_SETREDRAW, TRUE, 0);
      RedrawWindow(wnd_, nullptr, nullptr,
                   RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
  }
  RedrawOff(const RedrawOff&) = delete;
  RedrawOff& operator=(const RedrawOff&) = delete;

 private:
  HWND wnd_;
};

}  // namespace nokari::win
