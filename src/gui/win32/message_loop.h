// The thread's message loop, shared by the main loop, modal loops and the mid-load pump.
#pragma once

#include <windows.h>

#include <functional>

namespace nokari::win {

// Windows whose keyboard navigation (Tab, Enter, Esc) is the dialog manager's.
void addKeyboardNavigation(HWND root);
void removeKeyboardNavigation(HWND root);

// Translates and dispatches one message, after the dialog manager had its chance.
void dispatch(MSG& msg);
// Runs every message already queued; false when WM_QUIT came (it is posted again so that
// the outer loop ends too).
bool pumpPending();
// Runs messages until done() holds or WM_QUIT comes (posted again); false on WM_QUIT.
bool runUntil(const std::function<bool()>& done);
// The main loop; returns the exit code of WM_QUIT.
int runMainLoop();

}  // namespace nokari::win
