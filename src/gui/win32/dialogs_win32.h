// Message boxes, questions and the file-open dialog, owned by a window of this program.
#pragma once

#include "gui/win32/window.h"
#include "platform/dialogs.h"

namespace nokari::win {

class WindowDialogs final : public Dialogs {
 public:
  // The dialogs belong to owner while it exists.
  explicit WindowDialogs(const Window& owner) : owner_(owner) {}
  void showMessage(const Text& text) override;
  bool askYesNo(const Text& text, bool centred) override;
  std::optional<Text> chooseOpenFile(const Text& initialPath) override;

 private:
  const Window& owner_;
};

}  // namespace nokari::win
