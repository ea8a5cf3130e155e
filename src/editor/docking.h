// Docking: this program's window in a full-height strip at the left or right screen edge, and
// the CAD, the editor and the AutoLISP help beside it in the rest of the screen.
#pragma once

#include <optional>

#include "platform/desktop.h"

namespace nokari {

// The first top-level window whose title begins with the AutoLISP reference's title; when none
// is found, `previous` (a search that finds nothing keeps the last window found).
WindowHandle findHelpWindow(Desktop& desktop, WindowHandle previous);

struct DockLayout {
  ScreenRect own;     // this program's window: the same width, from the top, full height
  ScreenRect others;  // the rest of the screen width, the same height
};

// Where the windows go. The strip's height is the screen's less the taskbar's height, on
// whatever edge the taskbar sits; nullopt without a taskbar (then nothing moves).
std::optional<DockLayout> dockLayout(Desktop& desktop, const ScreenRect& ownOuter, bool right);

// Restores the window (also from minimized) and shows it at `to`, above the other windows.
void restoreAndPlace(Desktop& desktop, WindowHandle wnd, const ScreenRect& to);

}  // namespace nokari
