#include "editor/editor_window.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace nokari {

namespace {

const EditorRow kEditorRows[] = {
    {.boxText = u"VS Code",
     .settingsName = nullptr,
     .modifiedMark = u"●",
     .titleShowsPath = false,
     .jumpsByDialog = false,
     .dialog = {}},
    {.boxText = u"メモ帳",
     .settingsName = u"Notepad",
     .modifiedMark = u"*",
     .titleShowsPath = false,
     .jumpsByDialog = true,
     .dialog = {u"Notepad", keys::G, u"行へ移動", u"", u"Edit", u"", u"移動"}},
    {.boxText = u"Notepad ++",
     .settingsName = u"NotepadPP",
     .modifiedMark = u"*",
     .titleShowsPath = true,
     .jumpsByDialog = true,
     .dialog = {u"Notepad++", keys::G, u"指定位置へジャンプ...", u"", u"Edit", u"行(&L)",
                u"ジャンプ"}},
    {.boxText = u"Mery",
     .settingsName = u"Mery",
     .modifiedMark = u"*",
     .titleShowsPath = true,
     .jumpsByDialog = true,
     .dialog = {u"TChildForm", keys::G, u"", u"TGoToLineForm", u"TSpinEditEx", u"", u"OK"}},
    {.boxText = u"TeraPad",
     .settingsName = u"TeraPad",
     .modifiedMark = u"*",
     .titleShowsPath = true,
     .jumpsByDialog = true,
     .dialog = {u"TTeraPadMainForm", keys::J, u"", u"TFormJump", u"TComboBox", u"", u"OK"}},
};
static_assert(std::size(kEditorRows) == kEditorCount, "one row per editor of EditorIndex");

bool isDialogEditor(int editorIndex) {
  return editorIndex >= 0 && editorIndex < kEditorCount && kEditorRows[editorIndex].jumpsByDialog;
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

const EditorRow (&editorRows())[kEditorCount] { return kEditorRows; }

Text fileNameInTitle(int editorIndex, Text title) {
  if (editorIndex < 0 || editorIndex >= kEditorCount) return {};
  const EditorRow& row = kEditorRows[editorIndex];
  const std::u16string_view mark = row.modifiedMark;
  if (size_t m = title.find(mark); m != Text::npos) title.erase(m, mark.size());
  const size_t dash = title.find(u" - ");
  if (dash == Text::npos) return {};
  Text name = trim(std::u16string_view(title).substr(0, dash));
  if (row.titleShowsPath) {
    const size_t sep = name.find_last_of(u"\\/:");
    if (sep != Text::npos) name.erase(0, sep + 1);
  }
  return name;
}

EditorWindow::EditorWindow(Desktop& desktop, Clock& clock) : desktop_(desktop), clock_(clock) {
  for (int i = 0; i < kEditorCount; ++i) editors_[i] = kEditorRows[i].dialog;
}

bool EditorWindow::overrideValue(const Text& key, const Text& value) {
  const size_t dot = key.find(u'.');
  if (dot == Text::npos) return false;
  const std::u16string_view editor = std::u16string_view(key).substr(0, dot);
  const std::u16string_view what = std::u16string_view(key).substr(dot + 1);
  for (int i = 0; i < kEditorCount; ++i) {
    const char16_t* name = kEditorRows[i].settingsName;
    if (!name || editor != name) continue;
    DialogEditor& e = editors_[i];
    if (what == u"Chord") {
      if (value.size() != 1 || upperAscii(value[0]) < u'A' || upperAscii(value[0]) > u'Z')
        return false;
      e.chordKey = upperAscii(value[0]);
      return true;
    }
    Text* field = what == u"MainClass"    ? &e.mainClass
                  : what == u"GotoTitle"  ? &e.gotoTitle
                  : what == u"GotoClass"  ? &e.gotoClass
                  : what == u"Field"      ? &e.fieldClass
                  : what == u"ExtraClick" ? &e.extraClick
                  : what == u"GotoButton" ? &e.confirmText
                                          : nullptr;
    if (!field) return false;
    *field = value;
    return true;
  }
  return false;
}

void EditorWindow::findEditor(int editorIndex) {
  if (editorIndex == VsCode) {
    if (WindowHandle found = findVsCodeWindow(desktop_)) editorWnd_ = found;
  } else if (isDialogEditor(editorIndex)) {
    editorWnd_ = desktop_.findTopWindowByClass(editors_[editorIndex].mainClass);
  }
  watchedEditorWnd_ = editorWnd_;
}

void EditorWindow::activate(int editorIndex) {
  findEditor(editorIndex);
  if (!isOpen()) return;
  if (desktop_.isIconic(editorWnd_)) desktop_.restore(editorWnd_);
  desktop_.setForeground(editorWnd_);
}

void EditorWindow::jumpToLine(int editorIndex, int lineNo, const Text& lspFileName) {
  if (editorIndex == VsCode) {
    jumpVsCode(lineNo, lspFileName);
  } else if (isDialogEditor(editorIndex)) {
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
  const DialogEditor& e = editors_[editorIndex];
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
  const WindowHandle dialog = !e.gotoTitle.empty() ? desktop_.findTopWindowByTitle(e.gotoTitle)
                                                   : desktop_.findTopWindowByClass(e.gotoClass);
  if (!dialog) return;
  if (WindowHandle field = desktop_.findChild(dialog, e.fieldClass, std::nullopt))
    desktop_.sendSetText(field, decimal(lineNo));
  if (!e.extraClick.empty())
    if (WindowHandle choice = desktop_.findChild(dialog, {}, e.extraClick))
      desktop_.postClick(choice);
  if (WindowHandle confirm = desktop_.findChild(dialog, {}, e.confirmText))
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
