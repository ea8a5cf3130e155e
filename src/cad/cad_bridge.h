// The running CAD application: finding it, bringing it forward, and handing it command texts
// as if typed at its command line. Every product of the table is tried in its order; the first
// that answers wins. Nothing is ever reported: a CAD that is not there is simply not reached.
#pragma once

#include <optional>

#include "base/text.h"
#include "cad/cad_products.h"
#include "platform/automation.h"
#include "platform/desktop.h"

namespace nokari {

// Escape, "(load "path with each \ doubled")(princ)", Enter.
Text cadLoadText(const Text& path);
// Escape, the command name, Enter, for a node text "C:name" (letter case ignored, the name
// trimmed and kept as written); nullopt for any other text.
std::optional<Text> cadCommandText(const Text& nodeText);

class CadBridge {
 public:
  CadBridge(Desktop& desktop, Automation& automation);

  // Finds a CAD without bringing it forward: automation first, then the windows.
  void findCad();
  // Brings the CAD forward: the same order, each route activating what it finds; then a
  // minimized CAD window is restored.
  void activate();
  // The CAD's main window to act on: the one automation reported, while it stands, else the
  // one a window route dealt with last; 0 when neither stands.
  WindowHandle cadWindow();
  // Offers the text to every route in order until one takes it.
  void sendToCad(const Text& text);
  // With this program's window docked to the left or right screen edge above the taskbar,
  // the CAD window is restored and fills the rest of the screen; otherwise only restored.
  void placeBeside(const ScreenRect& ownWindow);

  // State, for the docking and the tests.
  WindowHandle lastCadWnd() const { return lastCadWnd_; }
  WindowHandle comCadWnd() const { return comCadWnd_; }

 private:
  WindowHandle findWindow(const CadProduct& product);
  bool findAndRecord(const CadProduct& product, bool bringForward);
  bool attach(const CadAutomation& a, bool bringForward);
  bool sendByAutomation(const CadAutomation& a, const Text& text);
  bool sendByWindow(const CadProduct& product, const Text& text);
  bool sendCopyData(WindowHandle wnd, const Text& text);
  WindowHandle findCommandLineField(WindowHandle main);
  void bringForward(WindowHandle wnd);
  // Each automation route in order, then each window route, until one returns true.
  template <typename Automated, typename Windowed>
  void chain(Automated automated, Windowed windowed);

  Desktop& desktop_;
  Automation& automation_;
  WindowHandle lastCadWnd_ = 0;  // the main window a window route dealt with last
  WindowHandle comCadWnd_ = 0;   // the main window the last answering automation object named
};

}  // namespace nokari
