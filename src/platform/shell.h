// Handing files and pages to other programs through the shell.
#pragma once

#include "base/text.h"

namespace nokari {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens the file in Notepad, not waiting for it.
  virtual void openInNotepad(const Text& path) = 0;
  // Opens the address in the user's web browser, not waiting for it.
  virtual void openPage(const Text& url) = 0;
};

}  // namespace nokari
