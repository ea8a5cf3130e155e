// Thin owners of the main window's plainer controls: each holds the control's window and offers
// the few operations the window uses, in the program's own types. The windows themselves
// belong to their parent and go with it; forget() drops the handle then.
#pragma once

#include <windows.h>

#include <string>

#include "base/text.h"
#include "gui/main_view.h"
#include "gui/win32/text_panel.h"
#include "source/progress.h"

namespace nokari::win {

// The tooltip window that shows the hints of one window's controls.
class HintTip {
 public:
  // Made for the controls of `owner`, in the dark colours.
  bool create(HWND owner);
  HWND wnd() const { return wnd_; }
  void forget() { wnd_ = nullptr; }
  // Shows the hint while the mouse rests on the control.
  void add(HWND ctl, const wchar_t* hint);
  // Replaces the hint of a control added before.
  void change(HWND ctl, const wchar_t* hint);

 private:
  void send(UINT msg, HWND ctl, const wchar_t* hint) const;
  HWND wnd_ = nullptr;
  HWND owner_ = nullptr;
};

// The results panel: a read-only text box whose hint the panel's content sets.
class PanelControl {
 public:
  // Creates the panel with an empty hint.
  bool create(HWND parent, int id, HintTip& hints);
  HWND wnd() const { return wnd_; }
  void forget() { wnd_ = nullptr; }
  // All lines at once, the caret at the start.
  void setLines(const TextList& lines);
  // The hint shown while the mouse rests on the panel.
  void setHint(const Text& hint);
  // The first line and column in view, the caret at the very start.
  void scrollToTop();
  // The selection with the line that holds its start.
  MainView::PanelSelection selection() const;
  void select(size_t start, size_t length);

 private:
  TextPanel box_;
  HWND wnd_ = nullptr;
  HintTip* hints_ = nullptr;
};

// The progress bar as the scanner stages see it. While it moves, the thread's windows
// repaint about every kPaintPeriodMs, so that a long load or check on the window's own thread
// keeps a live window; the bar itself changes only when its position does.
class ProgressBar final : public Progress {
 public:
  // A smooth bar from 0 to 100 in the dark colours.
  bool create(HWND parent, int id);
  HWND wnd() const { return wnd_; }
  void forget() { wnd_ = nullptr; }
  int position() const override;
  void setPosition(int pos) override;

 private:
  static constexpr DWORD kPaintPeriodMs = 100;
  HWND wnd_ = nullptr;
  int pos_ = 0;
  DWORD lastPaint_ = 0;  // tick count of the last repaint
};

// A combo box whose typed text counts as a choice only when it reads as one of its items.
class ChoiceBox {
 public:
  // The items, the first one chosen.
  template <size_t N>
  bool create(HWND parent, int id, const wchar_t* const (&items)[N]) {
    return create(parent, id, items, N);
  }
  bool create(HWND parent, int id, const wchar_t* const* items, size_t count);
  HWND wnd() const { return wnd_; }
  void forget() { wnd_ = nullptr; }
  // The chosen item's index; -1 when none.
  int chosen() const;
  // An index outside the list leaves no item chosen and the box empty.
  void choose(int index);

 private:
  std::wstring item(int index) const;
  HWND wnd_ = nullptr;
};

// Whether the check box is checked (false for a null control).
bool isChecked(HWND checkBox);
// Checks or clears the check box (nothing for a null control).
void setChecked(HWND checkBox, bool on);

}  // namespace nokari::win
