#include "editor/editor_window.h"

#include <string>

namespace nokari {

namespace {

// How each dialog editor is found and driven.
struct DialogEditor {
  const char16_t* mainClass;
  unsigned chordKey;            // with Ctrl
  const char16_t* gotoTitle;    // the go-to-line window by exact title, or
  const char16_t* gotoClass;    // by class
  const char16_t* fieldClass;   // its input field
  const char16_t* extraClick;   // a child to click before confirming, or nullptr
  const char16_t* confirmText;  // the button that jumps
};

const DialogEditor* dialogEditor(int editorIndex) {
  static const DialogEditor kEditors[] = {
      {u"Notepad", keys::G, u"行へ移動", nullptr, u"Edit", nullptr, u"移動"},
      {u"Notepad++", keys::G, u"指定位置へジャンプ...", nullptr, u"Edit", u"行(&L)", u"ジャンプ"},
      {u"TChildForm", keys::G, nullptr, u"TGoToLineForm", u"TSpinEditEx", nullptr, u"OK"},
      {u"TTeraPadMainForm", keys::J, nullptr, u"TFormJump", u"TComboBox", nullptr, u"OK"},
  };
  if (editorIndex < Notepad || editorIndex > TeraPad) return nullptr;
  return &kEditors[editorIndex - Notepad];
}

// The upper-cased extension of a name, with its dot; empty when it has none.
Text extensionUpper(const Text& name) {
  const size_t dot = name.find_last_of(u'.');
  const size_t sep = name.find_last_of(u"\\/:");
  if (dot == Text::npos || (sep != Text::npos && dot < sep)) return {};
  return upperAscii(std::u16string_view(name).substr(dot));
}

Text decimal(int n) { return fromAscii(std::to_string(n)); }

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

Text fileNameInTitle(int editorIndex, Text title) {
  const std::u16string_view mark = editorIndex == VsCode ? u"●" : u"*";
  if (size_t m = title.find(mark); m != Text::npos) title.erase(m, mark.size());
  const size_t dash = title.find(u" - ");
  if (dash == Text::npos) return {};
  Text name = trim(std::u16string_view(title).substr(0, dash));
  if (editorIndex == NotepadPlusPlus || editorIndex == Mery || editorIndex == TeraPad) {
    const size_t sep = name.find_last_of(u"\\/:");
    if (sep != Text::npos) name.erase(0, sep + 1);
  }
  return name;
}

void EditorWindow::getEditorMainWinHandle(int editorIndex) {
  if (editorIndex == VsCode) {
    if (WindowHandle found = findVsCodeWindow(desktop_)) editorWnd_ = found;
  } else if (const DialogEditor* e = dialogEditor(editorIndex)) {
    editorWnd_ = desktop_.findTopWindowByClass(e->mainClass);
  }
  watchedEditorWnd_ = editorWnd_;
}

void EditorWindow::activate(int editorIndex) {
  getEditorMainWinHandle(editorIndex);
  if (!isOpen()) return;
  if (desktop_.isIconic(editorWnd_)) desktop_.restore(editorWnd_);
  desktop_.setForeground(editorWnd_);
}

void EditorWindow::sendEditorLineNo(int editorIndex, int lineNo, const Text& lspFileName) {
  if (editorIndex == VsCode) {
    jumpVsCode(lineNo, lspFileName);
  } else if (dialogEditor(editorIndex)) {
    jumpWithDialog(editorIndex, lineNo, lspFileName);
  }
}

bool EditorWindow::bringToFront(WindowHandle wnd) {
  if (desktop_.isIconic(wnd)) {
    desktop_.restore(wnd);
    clock_.sleep(200);
  }
  desktop_.setForeground(wnd);
  clock_.sleep(100);
  // Keystrokes go to whatever has the focus: only into the editor itself.
  return desktop_.foregroundWindow() == wnd;
}

void EditorWindow::sendKeyChord(unsigned modifier, unsigned key) {
  desktop_.keyEvent(modifier, false);
  desktop_.keyEvent(key, false);
  desktop_.keyEvent(key, true);
  desktop_.keyEvent(modifier, true);
}

void EditorWindow::tapKey(unsigned key) {
  desktop_.keyEvent(key, false);
  desktop_.keyEvent(key, true);
}

void EditorWindow::jumpWithDialog(int editorIndex, int lineNo, const Text& lspFileName) {
  const DialogEditor& e = *dialogEditor(editorIndex);
  editorFileName_.clear();
  editorWnd_ = 0;
  const WindowHandle wnd = desktop_.findTopWindowByClass(e.mainClass);
  watchedEditorWnd_ = wnd;
  if (!wnd) return;
  const Text title = desktop_.windowText(wnd);
  if (title.empty()) return;
  const Text name = fileNameInTitle(editorIndex, title);
  if (name.empty() || extensionUpper(name) != u".LSP") return;
  editorWnd_ = wnd;
  editorFileName_ = name;
  if (editorFileName_ != lspFileName || !bringToFront(wnd)) return;
  sendKeyChord(keys::Control, e.chordKey);
  clock_.sleep(200);
  const WindowHandle dialog = e.gotoTitle ? desktop_.findTopWindowByTitle(e.gotoTitle)
                                          : desktop_.findTopWindowByClass(e.gotoClass);
  if (!dialog) return;
  if (WindowHandle field = desktop_.findChild(dialog, e.fieldClass, std::nullopt))
    desktop_.sendSetText(field, decimal(lineNo));
  if (e.extraClick)
    if (WindowHandle choice = desktop_.findChild(dialog, {}, Text(e.extraClick)))
      desktop_.postClick(choice);
  if (WindowHandle confirm = desktop_.findChild(dialog, {}, Text(e.confirmText)))
    desktop_.postClick(confirm);
}

void EditorWindow::jumpVsCode(int lineNo, const Text& lspFileName) {
  editorFileName_.clear();
  editorWnd_ = findVsCodeWindow(desktop_);
  const WindowHandle wnd = editorWnd_;
  watchedEditorWnd_ = wnd;
  if (!wnd) return;
  editorFileName_ = fileNameInTitle(VsCode, desktop_.windowText(wnd));
  if (editorFileName_.empty() || editorFileName_ != lspFileName || !bringToFront(wnd)) return;
  // Typed digits must arrive as plain keys, not as input-method composition.
  if (desktop_.imeOpen(wnd).value_or(false)) desktop_.setImeOpen(wnd, false);
  sendKeyChord(keys::Alt, keys::G);
  clock_.sleep(200);
  for (char16_t digit : decimal(lineNo)) tapKey(digit);
  tapKey(keys::Return);
}

}  // namespace nokari
