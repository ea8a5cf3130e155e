// The shell and waiting, on Windows.
#pragma once

#include <windows.h>

#include "app/main_view.h"
#include "platform/win32/window.h"

namespace nokari::win {

class Win32Shell final : public Shell {
 public:
  // Notepad opens over `owner` (which may be gone by then).
  explicit Win32Shell(const Window& owner) : owner_(owner) {}
  void openInNotepad(const Text& path) override;
  void sleepMs(int ms) override;
  // The user's short date and long time, as the system formats them.
  Text nowText() override;

 private:
  const Window& owner_;
};

}  // namespace nokari::win
