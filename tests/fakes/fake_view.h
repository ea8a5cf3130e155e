// A main window that records what the controller shows and answers its questions.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/main_view.h"
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
  std::deque<bool> yesNoAnswers;
  std::optional<Text> openAnswer;
  std::optional<size_t> historyAnswer;
  TextList historyShown;

  void setEncodingLabel(const Text& l) override { label = l; }
  void setFileNameText(const Text& n) override { fileName = n; }
  void showTree(const FuncTree& t) override {
    tree = t;
    selection = top = {};
    events.push_back("tree");
  }
  NodeRef treeSelection() const override { return selection; }
  NodeRef treeTopItem() const override { return top; }
  void restoreTreePlace(const RestoredPlace& p) override {
    if (p.top.valid()) top = p.top;
    if (p.selected.valid()) selection = p.selected;
  }
  void setPanelLines(const TextList& lines) override { panel = lines; }
  void setPanelHint(const Text& h) override { hint = h; }
  void scrollPanelTop() override { events.push_back("scroll"); }
  Progress& progress() override { return bar; }
  void processMessages() override {}
  void showMessage(const Text& text) override { events.push_back("message: " + utf8(text)); }
  bool askYesNo(const Text& text, bool centred) override {
    events.push_back(std::string(centred ? "ask centred: " : "ask: ") + utf8(text));
    bool a = !yesNoAnswers.empty() && yesNoAnswers.front();
    if (!yesNoAnswers.empty()) yesNoAnswers.pop_front();
    return a;
  }
  std::optional<Text> chooseOpenFile(const Text&) override { return openAnswer; }
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

class FakeShell : public Shell {
 public:
  std::vector<std::string> calls;
  void openInNotepad(const Text& path) override { calls.push_back("notepad " + utf8(path)); }
  void sleepMs(int ms) override { calls.push_back("sleep " + std::to_string(ms)); }
  Text nowText() override { return u"2026/12/09 12:00:00"; }
};

}  // namespace nokari::test
