// A thin bar between two areas of a window that the user drags up and down.
#pragma once

#include <functional>

#include "gui/win32/window.h"

namespace nokari::win {

class Splitter final : public Window {
 public:
  // moved(y): the bar's new top in the parent's client coordinates while it is dragged.
  explicit Splitter(std::function<void(int)> moved) : moved_(std::move(moved)) {}
  bool create(HINSTANCE inst, HWND parent, int id);

 protected:
  LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  std::function<void(int)> moved_;
  int grabY_ = -1;  // where in the bar the mouse took hold; -1 when not dragging
};

}  // namespace nokari::win
