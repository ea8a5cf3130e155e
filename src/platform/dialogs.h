// The system's standard dialogs over the main window.
#pragma once

#include <optional>

#include "base/text.h"

namespace nokari {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A plain message box with an OK button, centred on the screen.
  virtual void showMessage(const Text& text) = 0;
  // A Yes/No question; centred on the screen when `centred`, else at the default position.
  virtual bool askYesNo(const Text& text, bool centred) = 0;
  // The file-open dialog for "*.lsp", starting at initialPath; nullopt when cancelled.
  virtual std::optional<Text> chooseOpenFile(const Text& initialPath) = 0;
};

}  // namespace nokari
