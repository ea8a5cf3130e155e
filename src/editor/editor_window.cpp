#include "editor/editor_window.h"

namespace nokari {

namespace {

// The main window classes of the editors found by class, by editor index.
const char16_t* mainWindowClass(int editorIndex) {
  switch (editorIndex) {
    case Notepad:
      return u"Notepad";
    case NotepadPlusPlus:
      return u"Notepad++";
    case Mery:
      return u"TChildForm";
    case TeraPad:
      return u"TTeraPadMainForm";
    default:
      return nullptr;
  }
}

}  // namespace

WindowHandle findVsCodeWindow(Desktop& desktop) {
  WindowHandle found = 0;
  desktop.forEachTopWindow([&](WindowHandle wnd) {
    const Text title = desktop.windowText(wnd);
    if (title.empty()) return true;
    // The bare start window's title begins with the product name; it shows no file.
    const size_t at = title.find(u"Visual Studio Code");
    if (at == Text::npos || at == 0) return true;
    if (desktop.className(wnd) != u"Chrome_WidgetWin_1") return true;
    found = wnd;
    return false;
  });
  return found;
}

void EditorWindow::getEditorMainWinHandle(int editorIndex) {
  if (editorIndex == VsCode) {
    if (WindowHandle found = findVsCodeWindow(desktop_)) editorWnd_ = found;
  } else if (const char16_t* cls = mainWindowClass(editorIndex)) {
    editorWnd_ = desktop_.findTopWindowByClass(cls);
  }
  watchedEditorWnd_ = editorWnd_;
}

}  // namespace nokari
