// A main window that records what the controller shows and answers its questions.
#pragma once

#include <string>
#include <vector>

#include "gui/main_view.h"
#include "test_util.h"

namespace nokari::test {

class FakeMainView : public MainView {
 public:
  // What happened, in order, as readable lines ("message: ...", "tree", "panel", ...).
  std::vector<std::string> events;
  Text label, fileName, hint;
  TextList panel;
  FuncTree tree;
  NodeRef selection, top;
  int editor = 0;
  bool jump = true, reload = false;
  NullProgress bar;
  std::optional<size_t> historyAnswer;
  TextList historyShown;
  std::vector<JumpEntry> jumpEntries;
  int jumpSelected = -1;
  PanelSelection panelSel;

  void setEncodingLabel(const Text& l) override { label = l; }
  void setFileNameText(const Text& n) override { fileName = n; }
  void showTree(const FuncTree& t, const RestoredPlace* p) override {
    tree = t;
    selection = top = {};
    events.push_back("tree");
    if (p && p->top.valid()) top = p->top;
    if (p && p->selected.valid()) selection = p->selected;
  }
  NodeRef treeSelection() const override { return selection; }
  NodeRef treeTopItem() const override { return top; }
  void setPanelLines(const TextList& lines) override { panel = lines; }
  void setPanelHint(const Text& h) override { hint = h; }
  void scrollPanelTop() override { events.push_back("scroll"); }
  PanelSelection panelSelection() const override { return panelSel; }
  void selectInPanel(size_t start, size_t length) override {
    panelSel.start = start;
    panelSel.length = length;
    events.push_back("panel selection " + std::to_string(start) + " " + std::to_string(length));
  }
  void showJumpList(const std::vector<JumpEntry>& entries, int selected) override {
    jumpEntries = entries;
    jumpSelected = selected;
  }
  int jumpListSelection() const override { return jumpSelected; }
  ScreenRect outer{0, 0, 300, 1040};
  WindowHandle own = 0;
  bool keyWatch = false, timerRunning = false;
  WindowHandle ownWindow() const override { return own; }
  ScreenRect outerRect() const override { return outer; }
  void moveTo(const ScreenRect& r) override { outer = r; }
  void setKeyWatch(bool on) override { keyWatch = on; }
  void setTimerRunning(bool on) override { timerRunning = on; }
  Progress& progress() override { return bar; }
  void processMessages() override {}
  std::optional<size_t> chooseFromHistory(const TextList& history) override {
    historyShown = history;
    return historyAnswer;
  }
  int editorIndex() const override { return editor; }
  void setEditorIndex(int i) override { editor = i; }
  bool jumpChecked() const override { return jump; }
  void setJumpChecked(bool on) override { jump = on; }
  bool reloadChecked() const override { return reload; }
  void setReloadChecked(bool on) override { reload = on; }
};

}  // namespace nokari::test
