// The main window's behaviour, free of Win32: start, exit, loading, tree events, check buttons.
#pragma once

#include <memory>

#include "base/lines.h"
#include "gui/main_view.h"
#include "platform/services.h"

namespace nokari {

// Where the program keeps its files: the INI, the history and the two lists.
struct ProgramFiles {
  Text folder;       // the program's folder
  Text iniPath;      // program name with ".ini"
  Text historyPath;  // "NokariHist.txt"
};

ProgramFiles programFilesIn(const Text& folder, const Text& exeName);

class MainController {
 public:
  MainController(MainView& view, const Services& services, ProgramFiles where);
  ~MainController();

  // The window was created: the lists, the history, the settings, the last file.
  void windowCreated();
  // The window is closing: the settings and the history are written; a file that could not
  // be saved is named in one message.
  void windowClosing();

  void openClicked();
  void filesDropped(const TextList& paths);
  // Reads the current file again and rebuilds the tree where it was.
  void reload();
  void historyClicked();
  // Brings the chosen editor's window to the front.
  void editorActivateClicked();
  // Shows the full path of the current file.
  void fileNameClicked();

  // The heading lines of the selected function go to the panel.
  void treeClicked();
  // Jumps the editor to the selected function.
  void treeDoubleClicked();
  // True when the key is consumed.
  bool treeKeyPressed(char16_t key);
  void treeKeyReleased();

  // The tree menu's copies of the selected function: a call template, or its whole text.
  void copyFunctionNameClicked();
  void copyFunctionTextClicked();

  // The tree menu's jump list items, on the selected function.
  void addToJumpListClicked();
  void insertAtJumpListTopClicked();
  void clearJumpListClicked();
  // The jump list's own menu, on its selected entry.
  void jumpListMoveUpClicked();
  void jumpListMoveDownClicked();
  void jumpListDeleteClicked();
  void jumpListDeleteAllClicked();
  // Jumps the editor to the selected entry, "Jump" ticked or not.
  void jumpListDoubleClicked();
  // True when the key is consumed (Enter).
  bool jumpListKeyPressed(char16_t key);
  // An entry dragged from index `from` and dropped on index `to` (-1: on no entry).
  void jumpListDropped(int from, int to);

  // A double-click in the results panel: a line number, or a function name.
  void panelDoubleClicked();
  // The panel menu: the editor to the function whose name is selected.
  void jumpToSelectedFunctionClicked();

  // The CAD: load the file into it (and lay its window beside a docked one), bring it to the
  // front, run the selected command of the tree or of the jump list.
  void cadLoadClicked();
  void cadActivateClicked();
  void sendTreeCommandToCadClicked();
  void sendJumpListCommandToCadClicked();

  // "<" and ">": this window to the screen's edge, the CAD, the editor and the help beside it.
  void dockClicked(bool right);
  // "Reload" ticked or unticked: the editor's window is looked up again, the keys watched.
  void reloadClicked();
  // A key the watch saw anywhere: Ctrl+S in the watched editor arms the reload, F1 here the
  // help. ctrlDown is the Ctrl key's state as the notice is handled.
  void keyNotified(bool keyDown, unsigned virtualKey, bool ctrlDown);
  void timerTicked();

  void parenthesisCheckClicked();
  void variableCheckClicked();
  void exclusionListClicked();
  void functionCheckClicked();
  void catalogueClicked();

  // State, for the window and the tests.
  const Lines& sourceLines() const;
  const Text& lspFullName() const;
  const Text& lspFileName() const;
  const TextList& history() const;
  const FuncTree& tree() const;
  const JumpList& jumpList() const;

 private:
  struct State;
  std::unique_ptr<State> s_;
};

}  // namespace nokari
