// The file history dialog: a list of paths, "OK" and "取り消し". Made once, shown modally.
#pragma once

#include <optional>

#include "base/text.h"
#include "gui/win32/dark_window.h"
#include "gui/win32/win_handles.h"

namespace nokari::win {

class HistoryDialog final : public DarkWindow {
 public:
  explicit HistoryDialog(HINSTANCE inst) : inst_(inst) {}
  // Creates the dialog hidden, owned by `owner`.
  bool create(HWND owner);
  // Shows the entries modally over the disabled owner; the selected index when closed with
  // OK and an entry selected.
  std::optional<size_t> choose(const TextList& entries);

 protected:
  LRESULT ownMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void dpiChanged(int oldDpi) override;
  void layoutControls() override;

 private:
  void applyFonts();
  void fillList(const TextList& entries);
  void onCommand(int id, int code);
  void finish(bool ok);

  HINSTANCE inst_;
  HWND listWnd_ = nullptr, okWnd_ = nullptr, cancelWnd_ = nullptr;
  Font listFont_, uiFont_;
  bool running_ = false;
  bool done_ = false;
  bool accepted_ = false;
};

}  // namespace nokari::win
