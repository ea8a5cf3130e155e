// Other programs' windows: finding them, reading them, bringing them forward, typing into them
// and sending them messages. The only road to the editors and the CAD applications.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/text.h"

namespace nokari {

// A window of any program; 0 is none. Only the Desktop that gave it out can read it.
using WindowHandle = std::uintptr_t;

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

// Keys by their virtual-key codes.
namespace keys {
inline constexpr unsigned Return = 0x0D, Control = 0x11, Alt = 0x12, Escape = 0x1B, G = 0x47,
                          J = 0x4A;
}

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Called with each window in turn; return false to stop the walk.
  using Visit = std::function<bool(WindowHandle)>;

  // The first top-level window of the class, whatever its title; 0 when there is none.
  virtual WindowHandle findTopWindowByClass(const Text& className) = 0;
  // The first top-level window with exactly this title, whatever its class; 0 when none.
  virtual WindowHandle findTopWindowByTitle(const Text& title) = 0;
  // Every top-level window in the system's order, topmost first.
  virtual void forEachTopWindow(const Visit& visit) = 0;
  // The first direct child of parent with the class (empty: any) and the text (nullopt: any);
  // 0 when there is none.
  virtual WindowHandle findChild(WindowHandle parent, const Text& className,
                                 const std::optional<Text>& text) = 0;
  // Every child window of parent, children's children included, in the system's order.
  virtual void forEachChildWindow(WindowHandle parent, const Visit& visit) = 0;
  // The window's first child, and the window after it among its siblings; 0 when none.
  virtual WindowHandle firstChild(WindowHandle wnd) = 0;
  virtual WindowHandle nextSibling(WindowHandle wnd) = 0;

  // The window's text as read into a 255-character buffer (so at most 254 characters).
  virtual Text windowText(WindowHandle wnd) = 0;
  // The window's class name (at most 254 characters).
  virtual Text className(WindowHandle wnd) = 0;

  virtual bool isWindow(WindowHandle wnd) = 0;
  virtual bool isIconic(WindowHandle wnd) = 0;
  virtual bool isEnabled(WindowHandle wnd) = 0;
  virtual WindowHandle foregroundWindow() = 0;

  // Restores a minimized window without waiting for its program to answer.
  virtual void restore(WindowHandle wnd) = 0;
  virtual bool setForeground(WindowHandle wnd) = 0;
  // The window's rectangle on the screen; nullopt when it is gone.
  virtual std::optional<ScreenRect> windowRect(WindowHandle wnd) = 0;
  // Moves and sizes the window without waiting for its program to answer.
  virtual void moveWindow(WindowHandle wnd, const ScreenRect& to) = 0;
  // Shows the window, moved and sized, at the top of the others but not activated, without
  // waiting for its program to answer.
  virtual void placeOnTop(WindowHandle wnd, const ScreenRect& to) = 0;
  // The work area (the screen less the taskbar) of the primary monitor.
  virtual ScreenRect workArea() = 0;
  // The primary screen's width and height in pixels (right and bottom; left and top are 0).
  virtual ScreenRect screen() = 0;

  // One synthesized keyboard event for the virtual key, with its hardware scan code.
  virtual void keyEvent(unsigned virtualKey, bool keyUp) = 0;

  // Sets the window's text; false when it did not answer in time.
  virtual bool sendSetText(WindowHandle wnd, const Text& text) = 0;
  // A left click at the window's origin, as posted button-down and button-up messages.
  virtual void postClick(WindowHandle wnd) = 0;
  // A key-down message for the virtual key, sent; false when the window did not answer in time.
  virtual bool sendKeyDown(WindowHandle wnd, unsigned virtualKey) = 0;
  // A posted empty message: wakes the window's program up.
  virtual void postNull(WindowHandle wnd) = 0;
  // One typed character, sent; false when the window did not answer in time.
  virtual bool sendChar(WindowHandle wnd, char16_t ch) = 0;
  // WM_COPYDATA with the bytes; false when the window did not answer in time.
  virtual bool sendCopyData(WindowHandle wnd, std::uintptr_t kind, const std::string& bytes) = 0;
  // The open status of the input method of the window's thread; nullopt when it has none or
  // did not answer in time.
  virtual std::optional<bool> imeOpen(WindowHandle wnd) = 0;
  // Opens or closes that input method; false when it has none or did not answer in time.
  virtual bool setImeOpen(WindowHandle wnd, bool open) = 0;
};

}  // namespace nokari
