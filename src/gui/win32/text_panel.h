// A read-only multi-line text box that measures and draws only the lines in view, so that a
// report of any length goes in at once. It answers the edit box's messages that readers of the
// panel rely on (text, selection, line queries, scrolling, position of a character), selects
// with the mouse and the keys, copies with Ctrl+C, and takes its colours from its parent's
// WM_CTLCOLOREDIT answer.
#pragma once

#include <windows.h>

#include "gui/panel_text.h"
#include "gui/win32/window.h"

namespace nokari::win {

class TextPanel final : public Window {
 public:
  // A visible child with the id, a sunken edge and both scroll bars.
  bool create(HWND parent, int id);
  // All lines at once; the caret at the start, the first line and column in view.
  void setLines(const TextList& lines);
  const PanelText& text() const { return text_; }

 protected:
  LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void reset();
  void measureFont();
  void measureWidth();
  void updateScrollBars();
  int visibleLines() const;
  int clientWidth() const;
  // x of the offset within its line, in text pixels (before the horizontal scroll).
  int xOf(size_t offset) const;
  // The offset nearest to a client point; with `under`, the character under it.
  size_t offsetAt(POINT p, bool under) const;
  void scrollTo(long long line, long long x);
  void showCaretOffset();
  void placeCaret();
  void select(size_t anchor, size_t caret, bool scroll);
  size_t selStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
  size_t selEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
  void copySelection() const;
  bool keyDown(WPARAM key);
  void scrollMessage(int bar, WPARAM wp);
  void paint();
  void paintLine(HDC dc, size_t line, int y, COLORREF text, COLORREF back) const;

  PanelText text_;
  HFONT font_ = nullptr;
  int lineHeight_ = 16;
  int charWidth_ = 8;
  int textWidth_ = 0;  // widest line, pixels
  size_t topLine_ = 0;
  int left_ = 0;  // horizontal scroll, pixels
  size_t anchor_ = 0;
  size_t caret_ = 0;
  bool focused_ = false;
  bool dragging_ = false;
  int wheelRest_ = 0;
};

}  // namespace nokari::win
