#include "gui/main_controller.h"

#include <algorithm>
#include <string>

#include "app/file_history.h"
#include "app/list_files.h"
#include "app/settings.h"
#include "app/sibling_functions.h"
#include "app/source_loading.h"
#include "cad/cad_bridge.h"
#include "checks/catalogue.h"
#include "checks/exclusion_list.h"
#include "checks/func_check.h"
#include "checks/paren_check.h"
#include "checks/var_check.h"
#include "editor/clipboard_copies.h"
#include "editor/docking.h"
#include "editor/editor_window.h"
#include "editor/panel_navigation.h"
#include "source/func_index.h"

namespace nokari {

namespace {

constexpr char16_t kJumpHint[] = u"行番号ダブルクリックでジャンプ";
constexpr char16_t kFileNotFound[] = u"ファイルが見つかりません.";
constexpr char16_t kHelpPage[] =
    u"https://help.autodesk.com/view/OARX/2023/JPN/?guid=GUID-4CEE5072-8817-4920-8A2D-7060F5E16547";
constexpr unsigned kKeyS = 0x53, kKeyF1 = 0x70;
// What the timer's next tick does.
enum class Pending { None, Reload, Help };
// Ticks a reload waits for the editor to let go of the file.
constexpr int kReloadTicks = 10;

}  // namespace

ProgramFiles programFilesIn(const Text& folder, const Text& exeName) {
  ProgramFiles p;
  p.folder = folder;
  Text base = exeName;
  size_t dot = base.find_last_of(u'.');
  if (dot != Text::npos) base.resize(dot);
  p.iniPath = joinPath(folder, base + u".ini");
  p.historyPath = joinPath(folder, u"NokariHist.txt");
  return p;
}

struct MainController::State {
  MainView& view;
  Services sys;
  const Files& files;
  const CodePage& ansi;
  Dialogs& dialogs;
  ProgramFiles where;
  EditorWindow editor;
  CadBridge cad;

  Lines sourceLines;
  Text lspFullName;
  Text lspFileName;
  Text openDialogFileName;
  FileHistory history;
  StoredRead settingsRead;  // how the INI was found at start
  ExclusionList exclusions;
  FuncTree tree;
  JumpList jumpList;
  WindowHandle helpWnd = 0;
  Pending pending = Pending::None;
  int ticks = 0;
  TextList reloadLines;  // the panel while a reload waits

  State(MainView& v, const Services& services, ProgramFiles w)
      : view(v),
        sys(services),
        files(services.files),
        ansi(services.codePage),
        dialogs(services.dialogs),
        where(std::move(w)),
        editor(services.desktop, services.clock),
        cad(services.desktop, services.automation) {}

  // Reads path into the source lines. On failure the user is told why and nothing changes.
  bool loadSource(const Text& path) {
    LoadedSource loaded = loadSourceLines(path, files, ansi);
    view.processMessages();
    if (!loaded.ok) {
      dialogs.showMessage(u"ファイルを読み込めません.\n" + path + u"\n" + loaded.error);
      return false;
    }
    view.setEncodingLabel(fromAscii(encodingLabel(loaded.encoding)));
    sourceLines = std::move(loaded.lines);
    return true;
  }

  // Tree, expansion, place keeping, variable check, hint. A check button that writes its own
  // report over the panel right away skips the variable check (the longest step of a load)
  // and sets only the hint that check would have left.
  void showLoadedSource(const TreePlace* place, bool withVariableCheck = true) {
    FuncIndex sortedIndex;
    tree = makeFuncTree(sourceLines, &view.progress(), &sortedIndex);
    if (!jumpList.empty()) showJumpList(jumpList.refresh(sortedIndex, view.jumpListSelection()));
    if (place) {
      const RestoredPlace restored = restorePlace(*place, tree);
      view.showTree(tree, &restored);
    } else {
      view.showTree(tree, nullptr);
    }
    if (withVariableCheck) {
      showVariableCheck();
    } else {
      view.setPanelHint(kJumpHint);
    }
  }

  void showVariableCheck() {
    view.setPanelLines(
        variableCheck(sourceLines, exclusions, WhenClear::AllClearLines, &view.progress()));
    view.setPanelHint(kJumpHint);
  }

  void showJumpList(int selected) { view.showJumpList(jumpList.entries(), selected); }

  // The open, drop and history roads after the path is chosen. A new file chosen by the
  // open dialog or a drop starts with an empty jump list; the history keeps it.
  bool openPath(const Text& path, bool keepJumpList) {
    const Text previous = lspFullName;
    lspFullName = path;
    if (!loadSource(path)) {
      lspFullName = previous;
      return false;
    }
    if (!keepJumpList && !jumpList.empty()) {
      jumpList.clear();
      showJumpList(-1);
    }
    lspFileName = fileNamePart(path);
    view.setFileNameText(lspFileName);
    showLoadedSource(nullptr);
    addToFileHistory(history.entries, path);
    return true;
  }

  bool reload(bool withVariableCheck = true) {
    if (!files.exists(lspFullName)) return false;
    const TreePlace place = rememberPlace(tree, view.treeSelection(), view.treeTopItem());
    for (int i = 0; i < 4 && isFileLocked(lspFullName, files); ++i) sys.clock.sleep(50);
    if (isFileLocked(lspFullName, files)) return false;
    if (!loadSource(lspFullName)) return false;
    showLoadedSource(&place, withVariableCheck);
    return true;
  }

  // The reload before a check whose report replaces the panel at once.
  void reloadForCheck() { reload(false); }

  // The selected function node (level 1 or 2); nullptr for a group or no selection.
  const TreeNode* selectedFunction() const {
    const NodeRef sel = view.treeSelection();
    return sel.level() >= 1 ? nodeAt(tree, sel) : nullptr;
  }

  // The selected function node's line, or 0 for a group or no selection.
  int selectedFunctionLine() const {
    const TreeNode* node = selectedFunction();
    return node ? node->line : 0;
  }

  // Brings the chosen editor to the 1-based line; a jump that cannot be made does not happen.
  void jumpToLine(int line) { editor.jumpToLine(view.editorIndex(), line, lspFileName); }

  // Whether the chosen editor's main window is open, looking it up afresh.
  bool lookUpEditor() {
    editor.findEditor(view.editorIndex());
    return editor.isOpen();
  }
};

MainController::MainController(MainView& view, const Services& services, ProgramFiles where)
    : s_(std::make_unique<State>(view, services, std::move(where))) {}

MainController::~MainController() = default;

void MainController::windowCreated() {
  State& s = *s_;
  s.exclusions = loadExclusionList(s.files, s.where.folder, s.ansi);
  s.sourceLines.clear();
  s.history = loadFileHistory(s.where.historyPath, s.files, s.ansi);
  s.view.setFileNameText({});
  s.view.setPanelLines({});
  s.view.setPanelHint({});
  const SettingsRead read = readSettings(s.where.iniPath, s.files, s.ansi);
  s.settingsRead = read.read;
  const Settings& settings = read.values;
  for (const auto& [key, value] : settings.editorOverrides) s.editor.overrideValue(key, value);
  s.view.setKeyWatch(true);
  s.view.setEditorIndex(settings.targetEditor);
  s.view.setJumpChecked(settings.jumpCheck);
  s.view.setReloadChecked(settings.reloadCheck);
  if (settings.reloadCheck) reloadClicked();
  s.lspFullName = settings.lspFullName;
  if (!s.lspFullName.empty() && s.files.exists(s.lspFullName)) {
    s.openDialogFileName = s.lspFullName;
    // The name first: the window shows as soon as the tree is filled.
    s.lspFileName = fileNamePart(s.lspFullName);
    s.view.setFileNameText(s.lspFileName);
    if (s.reload()) addToFileHistory(s.history.entries, s.lspFullName);
  } else {
    s.lspFullName.clear();
  }
}

void MainController::windowClosing() {
  State& s = *s_;
  Settings settings;
  settings.targetEditor = s.view.editorIndex();
  settings.jumpCheck = s.view.jumpChecked();
  settings.reloadCheck = s.view.reloadChecked();
  settings.lspFullName = s.lspFullName;
  TextList notSaved;
  if (auto why = writeSettings(s.where.iniPath, settings, s.settingsRead, s.files, s.ansi))
    notSaved.push_back(s.where.iniPath + u"\n" + *why);
  updateFileHistoryAtExit(s.history.entries, s.lspFullName);
  if (auto why = writeFileHistory(s.where.historyPath, s.history, s.files, s.ansi))
    notSaved.push_back(s.where.historyPath + u"\n" + *why);
  if (!notSaved.empty()) s.dialogs.showMessage(notSavedMessage(notSaved));
}

void MainController::openClicked() {
  State& s = *s_;
  std::optional<Text> path = s.dialogs.chooseOpenFile(s.openDialogFileName);
  if (!path) return;
  s.openDialogFileName = *path;
  s.openPath(*path, false);
}

void MainController::filesDropped(const TextList& paths) {
  State& s = *s_;
  for (const Text& path : paths) {
    if (extensionUpper(path) != u".LSP" || isFileLocked(path, s.files)) continue;
    s.openDialogFileName = path;
    s.openPath(path, false);
    return;
  }
}

void MainController::reload() { s_->reload(); }

void MainController::historyClicked() {
  State& s = *s_;
  std::optional<size_t> chosen = s.view.chooseFromHistory(s.history.entries);
  if (!chosen || *chosen >= s.history.entries.size()) return;
  const Text path = s.history.entries[*chosen];
  if (!s.files.exists(path)) {
    s.dialogs.showMessage(kFileNotFound);
    return;
  }
  s.openPath(path, true);
}

void MainController::editorActivateClicked() { s_->editor.activate(s_->view.editorIndex()); }

void MainController::fileNameClicked() {
  if (!s_->lspFullName.empty()) s_->dialogs.showMessage(s_->lspFullName);
}

void MainController::treeClicked() {
  State& s = *s_;
  TextList lines;
  if (int d = s.selectedFunctionLine(); d - 1 >= 0) lines = headingLines(s.sourceLines, d);
  s.view.setPanelLines(lines);
  s.view.setPanelHint({});
  s.view.scrollPanelTop();
}

void MainController::treeDoubleClicked() {
  State& s = *s_;
  if (!s.view.jumpChecked()) return;
  if (int d = s.selectedFunctionLine()) s.jumpToLine(d);
}

bool MainController::treeKeyPressed(char16_t key) {
  State& s = *s_;
  if (!s.view.jumpChecked() || key != 13) return false;
  if (int d = s.selectedFunctionLine()) s.jumpToLine(d);
  return true;
}

void MainController::treeKeyReleased() { treeClicked(); }

void MainController::copyFunctionNameClicked() {
  State& s = *s_;
  if (const TreeNode* node = s.selectedFunction())
    s.sys.clipboard.setText(callTemplate(node->text));
}

void MainController::copyFunctionTextClicked() {
  State& s = *s_;
  const TreeNode* node = s.selectedFunction();
  if (!node) return;
  const NodeRef sel = s.view.treeSelection();
  const TreeNode* parent = sel.level() == 2 ? nodeAt(s.tree, {sel.group, sel.child, -1}) : nullptr;
  const std::optional<Text> text = functionText(s.sourceLines, *node, parent);
  if (!text) {
    s.dialogs.showMessage(u"行範囲の取得に失敗しました．");
  } else if (!s.sys.clipboard.setText(*text)) {
    s.dialogs.showMessage(u"クリップボードを開けません．");
  } else {
    s.dialogs.showMessage(u"クリップボードにコピーしました．");
  }
}

void MainController::addToJumpListClicked() {
  State& s = *s_;
  if (const TreeNode* node = s.selectedFunction())
    if (s.jumpList.add(node->text, node->line)) s.showJumpList(s.view.jumpListSelection());
}

void MainController::insertAtJumpListTopClicked() {
  State& s = *s_;
  const TreeNode* node = s.selectedFunction();
  if (!node) return;
  const int selected = s.view.jumpListSelection();
  if (s.jumpList.insertAtTop(node->text, node->line))
    s.showJumpList(selected >= 0 ? selected + 1 : -1);
}

void MainController::clearJumpListClicked() {
  s_->jumpList.clear();
  s_->showJumpList(-1);
}

void MainController::jumpListMoveUpClicked() {
  State& s = *s_;
  s.showJumpList(s.jumpList.moveUp(s.view.jumpListSelection()));
}

void MainController::jumpListMoveDownClicked() {
  State& s = *s_;
  s.showJumpList(s.jumpList.moveDown(s.view.jumpListSelection()));
}

void MainController::jumpListDeleteClicked() {
  State& s = *s_;
  s.showJumpList(s.jumpList.remove(s.view.jumpListSelection()));
}

void MainController::jumpListDeleteAllClicked() { clearJumpListClicked(); }

void MainController::jumpListDoubleClicked() {
  State& s = *s_;
  const int selected = s.view.jumpListSelection();
  if (selected >= 0 && selected < static_cast<int>(s.jumpList.entries().size()))
    s.jumpToLine(s.jumpList.entries()[selected].line);
}

bool MainController::jumpListKeyPressed(char16_t key) {
  if (key != 13) return false;
  jumpListDoubleClicked();
  return true;
}

void MainController::jumpListDropped(int from, int to) {
  State& s = *s_;
  s.showJumpList(s.jumpList.move(from, to, s.view.jumpListSelection()));
}

void MainController::panelDoubleClicked() {
  State& s = *s_;
  const MainView::PanelSelection sel = s.view.panelSelection();
  if (const int number = lineNumberIn(sel.text); number >= 1) {
    if (s.view.jumpChecked()) s.jumpToLine(number);
    return;
  }
  const size_t col = sel.start >= sel.lineStart ? sel.start - sel.lineStart : 0;
  const LineSpan name = widenToName(sel.line, {col, sel.length});
  const Text nameText = trim(
      std::u16string_view(sel.line).substr(std::min(name.start, sel.line.size()), name.length));
  s.view.selectInPanel(sel.lineStart + name.start, 0);
  if (nameText.empty()) return;
  int line = definitionLine(s.tree, nameText);
  if (line == 0) line = firstCallLine(s.sourceLines, nameText);
  if (line > 0) s.jumpToLine(line);
}

void MainController::jumpToSelectedFunctionClicked() {
  State& s = *s_;
  const Text name = trim(s.view.panelSelection().text);
  if (name.empty()) return;
  if (const int line = definitionLine(s.tree, name)) s.jumpToLine(line);
}

void MainController::cadLoadClicked() {
  State& s = *s_;
  if (!s.lspFullName.empty() && s.files.exists(s.lspFullName))
    s.cad.sendToCad(cadLoadText(s.lspFullName));
  s.cad.placeBeside(s.view.outerRect());
}

void MainController::cadActivateClicked() { s_->cad.activate(); }

void MainController::sendTreeCommandToCadClicked() {
  State& s = *s_;
  if (const TreeNode* node = s.selectedFunction())
    if (const std::optional<Text> text = cadCommandText(node->text)) s.cad.sendToCad(*text);
}

void MainController::sendJumpListCommandToCadClicked() {
  State& s = *s_;
  const int selected = s.view.jumpListSelection();
  if (selected < 0 || selected >= static_cast<int>(s.jumpList.entries().size())) return;
  if (const std::optional<Text> text = cadCommandText(s.jumpList.entries()[selected].text))
    s.cad.sendToCad(*text);
}

void MainController::dockClicked(bool right) {
  State& s = *s_;
  const std::optional<DockLayout> layout = dockLayout(s.sys.desktop, s.view.outerRect(), right);
  if (!layout) return;
  s.view.moveTo(layout->own);
  s.cad.findCad();
  if (const WindowHandle cad = s.cad.cadWindow())
    restoreAndPlace(s.sys.desktop, cad, layout->others);
  s.editor.findEditor(s.view.editorIndex());
  const WindowHandle editor = s.editor.editorWnd();
  if (editor) restoreAndPlace(s.sys.desktop, editor, layout->others);
  s.helpWnd = findHelpWindow(s.sys.desktop, s.helpWnd);
  if (s.helpWnd) restoreAndPlace(s.sys.desktop, s.helpWnd, layout->others);
  // Last, so that restoring the help window does not take the front from the editor.
  if (editor) s.sys.desktop.setForeground(editor);
}

void MainController::reloadClicked() {
  State& s = *s_;
  if (s.view.reloadChecked()) s.editor.findEditor(s.view.editorIndex());
  s.view.setKeyWatch(s.view.reloadChecked());
}

void MainController::keyNotified(bool keyDown, unsigned virtualKey, bool ctrlDown) {
  State& s = *s_;
  Desktop& desktop = s.sys.desktop;
  const WindowHandle front = desktop.foregroundWindow();
  const WindowHandle watched = s.editor.watchedEditorWnd();
  if (front && front == s.view.ownWindow()) {
    if (virtualKey != kKeyF1) return;
    s.pending = Pending::Help;
  } else if (front && front == watched && desktop.isEnabled(watched) && keyDown && ctrlDown &&
             virtualKey == kKeyS && s.view.reloadChecked()) {
    s.pending = Pending::Reload;
  } else {
    return;
  }
  s.ticks = 0;
  s.view.setTimerRunning(true);
}

void MainController::timerTicked() {
  State& s = *s_;
  switch (s.pending) {
    case Pending::None:
      return;
    case Pending::Help: {
      s.pending = Pending::None;
      s.view.setTimerRunning(false);
      Desktop& desktop = s.sys.desktop;
      s.helpWnd = findHelpWindow(desktop, s.helpWnd);
      if (desktop.isWindow(s.helpWnd)) {
        if (desktop.isIconic(s.helpWnd)) desktop.restore(s.helpWnd);
        desktop.setForeground(s.helpWnd);
      } else {
        s.sys.shell.openPage(kHelpPage);
      }
      return;
    }
    case Pending::Reload:
      if (s.ticks == 0) {
        s.reloadLines = {u"ファイル再読み込み..."};
      } else {
        s.reloadLines.push_back(u"ファイル使用中... " + fromAscii(std::to_string(s.ticks + 1)));
      }
      ++s.ticks;
      if (s.ticks >= kReloadTicks) {
        s.pending = Pending::None;
        s.view.setTimerRunning(false);
        s.reloadLines.push_back(u"ファイル読み込み失敗");
        s.view.setPanelLines(s.reloadLines);
      } else if (!isFileLocked(s.lspFullName, s.files)) {
        s.pending = Pending::None;
        s.view.setTimerRunning(false);
        s.view.setPanelLines(s.reloadLines);
        s.reload();
      } else {
        s.view.setPanelLines(s.reloadLines);
      }
      return;
  }
}

void MainController::parenthesisCheckClicked() {
  State& s = *s_;
  s.reloadForCheck();
  s.view.setPanelLines({});
  if (s.sourceLines.empty()) return;
  ParenResult result = parenBalanceCheck(
      s.sourceLines, [&s] { return s.lookUpEditor(); }, &s.view.progress());
  s.view.setPanelLines(result.panel);
  if (const auto& m = result.message) {
    if (m->question) {
      if (s.dialogs.askYesNo(m->text, true)) s.jumpToLine(m->jumpLine);
    } else {
      s.dialogs.showMessage(m->text);
    }
  }
  s.view.scrollPanelTop();
}

void MainController::variableCheckClicked() {
  State& s = *s_;
  // A reload shows the variable check already; without one the check runs on what is loaded.
  if (!s.reload()) s.showVariableCheck();
  s.view.scrollPanelTop();
}

void MainController::exclusionListClicked() {
  State& s = *s_;
  s.exclusions = loadExclusionList(s.files, s.where.folder, s.ansi);
  s.view.setPanelLines(s.exclusions.entries());
  const Text question =
      u"変数から除外する文字列ファイル jogaiList.txt を作成、編集しますか？\n"
      u"保存後に、再度[ 除外 ]ボタンをクリックすると変更が反映されます．";
  if (!s.dialogs.askYesNo(question, false)) return;
  const Text path = joinPath(s.where.folder, kExclusionFileName);
  if (!s.files.exists(path)) {
    const WriteResult created = s.files.writeReplace(path, std::string());
    if (!created.ok) {
      s.dialogs.showMessage(u"ファイルを作成できません.\n" + path + u"\n" + created.error);
      return;
    }
    s.sys.clock.sleep(100);
  }
  if (s.files.exists(path)) s.sys.shell.openInNotepad(path);
}

void MainController::functionCheckClicked() {
  State& s = *s_;
  s.reloadForCheck();
  s.view.setPanelHint({});
  const BuiltinList builtins = loadBuiltinList(s.files, s.where.folder, s.ansi);
  // The other files of the source's folder may define what it calls.
  const Text folder = s.lspFullName.substr(0, s.lspFullName.size() - s.lspFileName.size());
  const SiblingFunctions others(s.files, folder, s.lspFileName, s.ansi);
  s.view.setPanelLines(
      funcCheck(s.sourceLines, builtins, &s.view.progress(), nullptr, &others.program()));
  s.view.scrollPanelTop();
}

void MainController::catalogueClicked() {
  State& s = *s_;
  s.reloadForCheck();
  s.view.setPanelLines(makeCatalogue(s.sourceLines, s.lspFileName, s.sys.clock.localDateTimeText(),
                                     &s.view.progress()));
  s.view.scrollPanelTop();
  s.view.setPanelHint(u"関数カタログ");
}

const Lines& MainController::sourceLines() const { return s_->sourceLines; }
const Text& MainController::lspFullName() const { return s_->lspFullName; }
const Text& MainController::lspFileName() const { return s_->lspFileName; }
const TextList& MainController::history() const { return s_->history.entries; }
const FuncTree& MainController::tree() const { return s_->tree; }
const JumpList& MainController::jumpList() const { return s_->jumpList; }

}  // namespace nokari
