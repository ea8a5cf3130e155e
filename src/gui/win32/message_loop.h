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
// Lets the thread's windows repaint what is pending, nothing else: no input, no command and
// no timer runs in the middle of the action that calls it.
void pumpPaint();
// Runs messages until done() holds or WM_QUIT comes (posted again); false on WM_QUIT.
bool runUntil(const std::function<bool()>& done);
// The main loop; returns the exit code of WM_QUIT.
int runMainLoop();

}  // namespace nokari::win
