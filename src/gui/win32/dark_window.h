// A top-level window in the program's dark look that follows its monitor's DPI. It answers
// the messages the main window and the history dialog answer alike (creation, a DPI change,
// the controls' colours, owner-drawn buttons) and hands every other one to ownMessage.
#pragma once

#include <windows.h>

#include "gui/win32/win_handles.h"
#include "gui/win32/window.h"

namespace nokari::win {

class DarkWindow : public Window {
 public:
  // The window's class and styles; its outer size is worked out from the styles.
  struct Frame {
    const wchar_t* cls;
    UINT classStyle;
    DWORD style;
    DWORD exStyle;
  };

  // The DPI the window is drawn at.
  int dpi() const { return dpi_; }

 protected:
  // Registers the class on the dark background and creates the window at a default place.
  HWND create(HINSTANCE inst, const Frame& frame, HICON icon, const wchar_t* title, HWND owner,
              int w, int h);

  LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) final;
  // Every message the base leaves to the window (WM_CREATE after the base has set the DPI).
  virtual LRESULT ownMessage(UINT msg, WPARAM wp, LPARAM lp);
  // The window moved to a monitor of another DPI (dpi() is the new one); it then takes the
  // size Windows suggests and lays out its controls.
  virtual void dpiChanged(int oldDpi) = 0;
  virtual void layoutControls() = 0;
  // The text colour of a label or a check box.
  virtual COLORREF labelColour(HWND ctl) const;
  // Whether the owner-drawn button shows its face only while pressed.
  virtual bool isFlatButton(int id) const;

  // A length of the design (at 96 DPI) at the window's DPI.
  int scaled(int designLength) const;
  // The outer size of the window for a client area of the design size, at the window's DPI.
  SIZE outerSize(int designClientW, int designClientH) const;
  // A font of the face at the window's DPI.
  Font makeFont(int points, int weight, const wchar_t* face) const;

 private:
  void onDpiChanged(int newDpi, const RECT& suggested);
  LRESULT onColour(UINT msg, HDC dc, HWND ctl) const;

  Frame frame_{};
  int dpi_ = 96;
};

}  // namespace nokari::win
