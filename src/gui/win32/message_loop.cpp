#include "gui/win32/message_loop.h"

#include <algorithm>
#include <vector>

namespace nokari::win {

namespace {

std::vector<HWND>& navigable() {
  static std::vector<HWND> roots;
  return roots;
}

}  // namespace

void addKeyboardNavigation(HWND root) {
  if (root && std::find(navigable().begin(), navigable().end(), root) == navigable().end())
    navigable().push_back(root);
}

void removeKeyboardNavigation(HWND root) {
  auto& v = navigable();
  v.erase(std::remove(v.begin(), v.end(), root), v.end());
}

void dispatch(MSG& msg) {
  if (msg.hwnd) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    const auto& v = navigable();
    if (root && std::find(v.begin(), v.end(), root) != v.end() && IsDialogMessageW(root, &msg))
      return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void pumpPaint() {
  MSG msg;
  // Paint only: input, commands and timers stay queued until the action is over (a click
  // handled now would be dropped, events do not nest); PM_QS_PAINT asks that messages sent
  // from other threads wait too. Bounded: a window that leaves its update region as it is
  // would come back for ever.
  for (int i = 0;
       i < 64 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT); ++i)
    DispatchMessageW(&msg);
}

bool runUntil(const std::function<bool()>& done) {
  MSG msg;
  while (!done()) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 1);
      return false;
    }
    dispatch(msg);
  }
  return true;
}

int runMainLoop() {
  MSG msg{};
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    dispatch(msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace nokari::win
