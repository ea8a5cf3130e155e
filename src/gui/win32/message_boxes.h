// Message boxes above the always-on-top main window, optionally centred on its screen.
#pragma once

#include <windows.h>

namespace nokari::win {

// MessageBoxW with MB_TOPMOST added; when `centred`, the box is moved to the centre of the
// work area of the owner's monitor as it appears. The owner may be null or gone.
int topmostMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags,
                      bool centred);

}  // namespace nokari::win
