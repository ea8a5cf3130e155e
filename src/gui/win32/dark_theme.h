// The dark look: colours, brushes, the title bar, and the controls the program draws itself
// (push buttons, popup menu items, the tree's images).
#pragma once

#include <windows.h>

#include "gui/win32/win_handles.h"

namespace nokari::win::dark {

inline constexpr COLORREF kWindow = RGB(37, 37, 38);  // window and panels
inline constexpr COLORREF kField = RGB(24, 24, 24);   // edits, lists, tree
inline constexpr COLORREF kText = RGB(220, 220, 220);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kDimText = RGB(120, 120, 120);
inline constexpr COLORREF kButton = RGB(58, 58, 60);
inline constexpr COLORREF kButtonPressed = RGB(0, 100, 170);
inline constexpr COLORREF kBorder = RGB(90, 90, 94);
inline constexpr COLORREF kFocus = RGB(0, 122, 204);
inline constexpr COLORREF kSplitter = RGB(52, 52, 54);
inline constexpr COLORREF kMenu = RGB(43, 43, 45);
inline constexpr COLORREF kMenuHot = RGB(0, 90, 158);
inline constexpr COLORREF kProgressBar = RGB(0, 150, 136);
inline constexpr COLORREF kOrangeRed = RGB(255, 69, 0);
inline constexpr COLORREF kTeal = RGB(0, 150, 150);

// The brushes every dark window shares; made once, freed at exit.
struct Brushes {
  Brushes();
  Brush window, field, splitter, menu;
};
const Brushes& brushes();

// A dark title bar where the system offers one; silently nothing elsewhere.
void useDarkTitleBar(HWND wnd);
// The system's dark style for a control's scroll bars and selection, where there is one.
void useDarkControlStyle(HWND ctl, const wchar_t* subApp = L"DarkMode_Explorer");
// Drops the visual style of a control so that its colours are ours (check boxes, progress).
void useClassicLook(HWND ctl);

// Paints an owner-drawn push button; flat ones show their face only while pressed.
void drawButton(const DRAWITEMSTRUCT& d, bool flat);

// What an owner-drawn popup menu item carries in its item data.
struct MenuItemText {
  const wchar_t* text;  // nullptr: a separator line
};
void measureMenuItem(HWND owner, MEASUREITEMSTRUCT& m, HFONT font, int dpi);
void drawMenuItem(const DRAWITEMSTRUCT& d, HFONT font);

// The tree's four images at the DPI: 0 large orange-red square, 1 large teal square,
// 2 small teal square with a hook, 3 small orange-red square with a hook.
ImageList makeTreeImages(int dpi);

}  // namespace nokari::win::dark
