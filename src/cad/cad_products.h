// The CAD applications this program reaches, one row each: how their main window is found,
// which running automation object answers for them, and how a command text reaches them.
#pragma once

#include <string_view>

#include "base/text.h"

namespace nokari {

// A running application object and the positions of the three operations used on it.
struct CadAutomation {
  const char16_t* progId;
  const char16_t* iid;  // the application interface
  int mainWindow;       // property: the main window's handle
  int activeDocument;   // property: the document that takes commands; -1 to use the application
  int command;          // operation taking the command text, on the document or the application
};

// One way of finding a main window. By class alone (the first top-level window of exactly
// that class), or by walking every top-level window for the first whose title begins with one
// of the prefixes and whose class passes the class test.
struct CadWindowSearch {
  const char16_t* exactClass = nullptr;
  const char16_t* titlePrefixes[3] = {};
  bool (*classMatches)(std::u16string_view className) = nullptr;
};

// How a command text reaches the main window once it is found.
enum class CadTyping {
  CopyData,     // WM_COPYDATA to the main window
  CommandLine,  // WM_COPYDATA when the title has the marker, else typed into the command line
  InputField,   // typed into the input field; Escape and Enter as key presses to the main window
};

struct CadProduct {
  const char* name;
  const CadAutomation* automation;  // nullptr: no automation route
  CadWindowSearch searches[2];      // the second is tried only when the first found nothing
  CadTyping typing;                 // for the window route (when a search is given)
  bool hasWindowRoute() const { return searches[0].exactClass || searches[0].classMatches; }
};

// In the order every search and send tries them; the first that answers wins.
const CadProduct* cadProductsBegin();
const CadProduct* cadProductsEnd();

// Whether the window fits the search; titles and classes compared case-sensitively.
bool titleMatches(const CadWindowSearch& search, std::u16string_view title);

}  // namespace nokari
