// The user's editor: its main window, found without touching it, and the jump to a line,
// driven only through the editor's windows (keystrokes, window messages).
#pragma once

#include "base/text.h"
#include "platform/clock.h"
#include "platform/desktop.h"

namespace nokari {

// The editors by their index in the editor box, and in editorRows().
enum EditorIndex : int { VsCode = 0, Notepad = 1, NotepadPlusPlus = 2, Mery = 3, TeraPad = 4 };
inline constexpr int kEditorCount = 5;

// The first top-level VS Code window (a "Chrome_WidgetWin_1" whose title holds "Visual Studio
// Code" after its first character), in the system's window order; 0 when there is none.
WindowHandle findVsCodeWindow(Desktop& desktop);

// How a dialog editor (Notepad, Notepad++, Mery, TeraPad) is found and driven.
struct DialogEditor {
  Text mainClass;
  unsigned chordKey = 0;  // pressed with Ctrl to open the go-to-line window
  Text gotoTitle;         // the go-to-line window by exact title, or when empty
  Text gotoClass;         // by class
  Text fieldClass;        // its input field
  Text extraClick;        // a child to click before confirming; empty for none
  Text confirmText;       // the button that jumps
};

// One editor: everything the window knows of it.
struct EditorRow {
  const char16_t* boxText;       // its line in the editor box
  const char16_t* settingsName;  // its name in the INI's Editors section; null: none
  const char16_t* modifiedMark;  // what its title adds while the file is not saved
  bool titleShowsPath = false;   // the title may show a path: the file is its name part
  bool jumpsByDialog = false;    // the jump goes through its go-to-line window (dialog)
  DialogEditor dialog;           // the built-in values, which the INI may override
};

// Every editor, by EditorIndex.
const EditorRow (&editorRows())[kEditorCount];

// The file name an editor's title shows, by the editor's rules (modified mark, " - ", the
// name part where the title shows a path); empty when the title shows none.
Text fileNameInTitle(int editorIndex, Text title);

// The chosen editor's main window as the last search left it, and the jump.
class EditorWindow {
 public:
  EditorWindow(Desktop& desktop, Clock& clock);

  // Overrides one value of an editor's table, for editors in other languages:
  // "Notepad.GotoTitle", with the editors Notepad, NotepadPP, Mery, TeraPad and the values
  // MainClass, Chord (a letter), GotoTitle, GotoClass, Field, ExtraClick, GotoButton.
  // False for a key or value it does not know.
  bool overrideValue(const Text& key, const Text& value);

  // findEditor: looks up the editor chosen by index without checking its title.
  // Notepad, Notepad++, Mery and TeraPad are found by class, none when absent; VS Code by
  // enumeration, keeping the earlier window when none is found; any other index leaves the
  // window as it was. Either way the result becomes the watched window.
  void findEditor(int editorIndex);
  // The window is still there.
  bool isOpen() const { return editorWnd_ != 0 && desktop_.isWindow(editorWnd_); }
  // Brings the chosen editor's window to the front (restoring it when minimized).
  void activate(int editorIndex);

  // jumpToLine: brings the editor to the 1-based line when its title shows the file
  // lspFileName (exact comparison). Every failure is silent: the jump does not happen.
  void jumpToLine(int editorIndex, int lineNo, const Text& lspFileName);

  WindowHandle editorWnd() const { return editorWnd_; }
  // The window the last search returned: a save in it reloads the file.
  WindowHandle watchedEditorWnd() const { return watchedEditorWnd_; }
  // The file name the last jump read from the editor's title.
  const Text& editorFileName() const { return editorFileName_; }

 private:
  void jumpWithDialog(int editorIndex, int lineNo, const Text& lspFileName);
  void jumpVsCode(int lineNo, const Text& lspFileName);
  // Restores and raises wnd with their waits; false when it did not become the foreground.
  bool bringToFront(WindowHandle wnd);
  void sendKeyChord(unsigned modifier, unsigned key);
  void tapKey(unsigned key);

  Desktop& desktop_;
  Clock& clock_;
  DialogEditor editors_[kEditorCount];  // by EditorIndex: the rows' values, overrides applied
  WindowHandle editorWnd_ = 0;
  WindowHandle watchedEditorWnd_ = 0;
  Text editorFileName_;
};

}  // namespace nokari
