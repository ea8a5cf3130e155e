// What the main window's controller needs from the window: the controls as plain values.
#pragma once

#include <optional>

#include "app/func_tree.h"
#include "base/text.h"
#include "editor/jump_list.h"
#include "platform/desktop.h"
#include "source/progress.h"

namespace nokari {

class MainView {
 public:
  virtual ~MainView() = default;

  // "UTF8" / "ANSI" beside the file name.
  virtual void setEncodingLabel(const Text& label) = 0;
  // The read-only file name box.
  virtual void setFileNameText(const Text& name) = 0;

  // Replaces every node of the tree (redraw suspended while it fills), expands it fully with
  // the first node on top and nothing selected; then, when given, applies a remembered place:
  // the top item (when valid), then the selection with focus.
  virtual void showTree(const FuncTree& tree, const RestoredPlace* place) = 0;
  virtual NodeRef treeSelection() const = 0;
  virtual NodeRef treeTopItem() const = 0;

  // The results panel: all its lines at once (redraw suspended), its hint, its scroll.
  virtual void setPanelLines(const TextList& lines) = 0;
  virtual void setPanelHint(const Text& hint) = 0;
  virtual void scrollPanelTop() = 0;
  // The panel's selection (offsets in the whole text) with the line that holds its start.
  struct PanelSelection {
    size_t start = 0;
    size_t length = 0;
    Text text;
    Text line;             // the caret line, without its line break
    size_t lineStart = 0;  // offset of that line's first character
  };
  virtual PanelSelection panelSelection() const = 0;
  virtual void selectInPanel(size_t start, size_t length) = 0;

  // The jump list: all its entries at once, then the selection (-1 for none).
  virtual void showJumpList(const std::vector<JumpEntry>& entries, int selected) = 0;
  virtual int jumpListSelection() const = 0;  // -1 when none

  // The window itself, its outer rectangle on the screen, and a move of it.
  virtual WindowHandle ownWindow() const = 0;
  virtual ScreenRect outerRect() const = 0;
  virtual void moveTo(const ScreenRect& outer) = 0;

  // The keys the program watches in every window (a save in the editor, F1 here): seen, or
  // no longer. The notices come as keyNotified events.
  virtual void setKeyWatch(bool on) = 0;
  // The 200 ms timer whose ticks come as timerTicked events; switching it on while it runs
  // keeps its period.
  virtual void setTimerRunning(bool on) = 0;

  virtual Progress& progress() = 0;
  // Lets pending repaints run in the middle of a load; input waits until the action ends.
  virtual void processMessages() = 0;

  // The modal history dialog over a copy of the list; the chosen index, or nullopt.
  virtual std::optional<size_t> chooseFromHistory(const TextList& history) = 0;

  // Settings bound to controls.
  virtual int editorIndex() const = 0;  // -1 when no item is chosen
  virtual void setEditorIndex(int index) = 0;
  virtual bool jumpChecked() const = 0;
  virtual void setJumpChecked(bool on) = 0;
  virtual bool reloadChecked() const = 0;
  virtual void setReloadChecked(bool on) = 0;
};

}  // namespace nokari
