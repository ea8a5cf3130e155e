// The main window's behaviour, free of Win32: start, exit, loading, tree events, check buttons.
#pragma once

#include <memory>

#include "app/main_view.h"
#include "platform/files.h"

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
  MainController(MainView& view, const Files& files, const CodePage& ansi, Shell& shell,
                 ProgramFiles where);
  ~MainController();

  void formCreate();
  void formDestroy();

  void button1Click();                           // open
  void dropFiles(const TextList& paths);         // files dropped on the window
  void reLoad();                                 // reload the current file
  void button10Click();                          // history
  void edit1Click();                             // show the full path

  void treeViewClick();                          // heading of the selected function
  void treeViewDblClick();                       // jump
  bool treeViewKeyPress(char16_t key);           // true: the key is consumed
  void treeViewKeyUp();

  void button2Click();  // parentheses
  void button4Click();  // variables
  void button6Click();  // exclusion list
  void button7Click();  // functions
  void button5Click();  // catalogue

  // State, for the window and the tests.
  const TextList& lspSL() const;
  const Text& lspFullName() const;
  const Text& lspFileName() const;
  const TextList& fileHistSL() const;
  const FuncTree& tree() const;

 private:
  struct State;
  std::unique_ptr<State> s_;
};

}  // namespace nokari
