// Per-monitor DPI helpers that degrade to the system DPI where the newer calls are missing.
#pragma once

#include <windows.h>

#include "gui/win32/win_handles.h"

namespace nokari::win {

// The DPI the window is drawn at (96 when unknown).
int dpiOf(HWND wnd);
// The outer size of a window whose client area is clientW x clientH.
SIZE outerSizeFor(int clientW, int clientH, DWORD style, DWORD exStyle, int dpi);
// A point size as a font height in pixels at the DPI (negative: character height).
int fontHeight(int points, int dpi);
// A font of the face at the point size and DPI.
Font makeFont(int points, int dpi, int weight, const wchar_t* face);
// Centres a window of the given outer size on the work area of the monitor nearest `nearWnd`
// (the primary monitor when `nearWnd` is null); returns its top-left corner.
POINT centredOnScreen(HWND nearWnd, int w, int h);

}  // namespace nokari::win
