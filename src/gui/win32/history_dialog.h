// The file history dialog: a list of paths, "OK" and "取り消し". Made once, shown modally.
#pragma once

#include <optional>

#include "gui/win32/win_handles.h"
#include "gui/win32/window.h"
#include "base/text.h"

namespace nokari::win {

class HistoryDialog final : public Window {
 public:
  explicit HistoryDialog(HINSTANCE inst) : inst_(inst) {}
  // Creates the dialog hidden, owned by `owner`.
  bool create(HWND owner);
  // Shows the entries modally over the disabled owner; the selected index when closed with
  // OK and an entry selected.
  std::optional<size_t> choose(const TextList& entries);

 protected:
  LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void applyDpi(int dpi);
  void layoutControls();
  void finish(bool ok);

  HINSTANCE inst_;
  HWND listWnd_ = nullptr, okWnd_ = nullptr, cancelWnd_ = nullptr;
  Font listFont_, uiFont_;
  int dpi_ = 96;
  bool running_ = false;
  bool done_ = false;
  bool accepted_ = false;
};

}  // namespace nokari::win
