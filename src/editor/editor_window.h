// Where the user's editor is: its main window, found without touching it.
#pragma once

#include "base/text.h"
#include "platform/desktop.h"

namespace nokari {

// The editors by their index in the editor box.
enum EditorIndex : int { VsCode = 0, Notepad = 1, NotepadPlusPlus = 2, Mery = 3, TeraPad = 4 };

// The first top-level VS Code window (a "Chrome_WidgetWin_1" whose title holds "Visual Studio
// Code" after its first character), in the system's window order; 0 when there is none.
WindowHandle findVsCodeWindow(Desktop& desktop);

// The chosen editor's main window as the last search left it.
class EditorWindow {
 public:
  explicit EditorWindow(Desktop& desktop) : desktop_(desktop) {}

  // getEditorMainWinHandle: looks up the editor chosen by index without checking its title.
  // Notepad, Notepad++, Mery and TeraPad are found by class, none when absent; VS Code by
  // enumeration, keeping the earlier window when none is found; any other index leaves the
  // window as it was. Either way the result becomes the watched window.
  void getEditorMainWinHandle(int editorIndex);
  // The window is still there.
  bool isOpen() const { return editorWnd_ != 0 && desktop_.isWindow(editorWnd_); }

  WindowHandle editorWnd() const { return editorWnd_; }
  // The window the last search returned: a save in it reloads the file.
  WindowHandle watchedEditorWnd() const { return watchedEditorWnd_; }

 private:
  Desktop& desktop_;
  WindowHandle editorWnd_ = 0;
  WindowHandle watchedEditorWnd_ = 0;
};

}  // namespace nokari
