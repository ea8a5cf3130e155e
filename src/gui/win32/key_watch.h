// The keys watched in every window: a low-level keyboard hook that only posts each key-down
// and key-up to one window, so that typing in other programs is never slowed down.
#pragma once

#include <windows.h>

namespace nokari::win {

// The notice posted for each key: wParam WM_KEYDOWN or WM_KEYUP, lParam the virtual-key code.
constexpr UINT kMsgKeyNotify = WM_APP + 110;

class KeyWatch {
 public:
  KeyWatch() = default;
  KeyWatch(const KeyWatch&) = delete;
  KeyWatch& operator=(const KeyWatch&) = delete;
  ~KeyWatch() { stop(); }

  // Starts posting to `target` (no effect when already watching); false when the system
  // refused the hook.
  bool start(HWND target);
  void stop();
  bool watching() const { return hook_ != nullptr; }

 private:
  HHOOK hook_ = nullptr;
};

// Lets the notice through to `wnd` from processes of lower integrity.
void allowKeyNotices(HWND wnd);

}  // namespace nokari::win
