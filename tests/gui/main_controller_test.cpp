#include "gui/main_controller.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/sibling_functions.h"
#include "checks/catalogue.h"
#include "checks/func_check.h"
#include "checks/paren_check.h"
#include "checks/var_check.h"
#include "fakes/fake_files.h"
#include "fakes/fake_services.h"
#include "fakes/fake_view.h"
#include "source/decode.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::FakeFiles;
using test::FakeMainView;
using test::FakeServices;
using test::Latin1CodePage;
using test::utf8;

const char kSample[] = ";; add\r\n(defun add (a b) (+ a b))\r\n(defun c:go () (add 1 2))\r\n";

// One program folder with its files, a window and a controller over them.
struct Harness {
  FakeMainView view;
  FakeServices sys{view.events};
  FakeFiles& files = sys.files;
  ProgramFiles where = programFilesIn(u"/prog", u"Nokari.exe");
  std::unique_ptr<MainController> c;

  MainController& start() {
    c = std::make_unique<MainController>(view, sys.services(), where);
    c->windowCreated();
    return *c;
  }
  std::string file(const Text& path) {
    return files.content.count(path) ? files.content[path] : "<none>";
  }
  std::string ini() { return file(where.iniPath); }
  std::string history() { return file(where.historyPath); }
  std::vector<std::string> treeTexts() {
    std::vector<std::string> out;
    for (const NodeRef& r : treeOrder(view.tree)) out.push_back(utf8(nodeAt(view.tree, r)->text));
    return out;
  }
};

TEST(MainController, StartAndExit) {
  struct Case {
    const char* name;
    const char* ini;      // nullptr: no INI file
    const char* history;  // nullptr: no history file
    bool sourceExists;
    // After start:
    int editor;
    bool jump, reload;
    const char* fileName;
    // After exit:
    const char* iniAfter;
    const char* historyAfter;
  };
  const Case cases[] = {
      {"first start", nullptr, nullptr, true, 0, true, false, "",
       "[Nokari]\r\nTargetEditor=0\r\nJumpCheak=1\r\nReloadCheak=0\r\nLspFullName=\r\n", ""},
      {"last file reopened",
       "[Nokari]\r\nTargetEditor=3\r\nJumpCheak=0\r\nReloadCheak=1\r\nLspFullName=/w/a.lsp\r\n",
       "/w/old.lsp\r\n", true, 3, false, true, "a.lsp",
       "[Nokari]\r\nTargetEditor=3\r\nJumpCheak=0\r\nReloadCheak=1\r\nLspFullName=/w/a.lsp\r\n",
       "/w/a.lsp\r\n/w/old.lsp\r\n"},
      {"deleted last file is forgotten", "[Nokari]\r\nLspFullName=/w/a.lsp\r\n", nullptr, false, 0,
       true, false, "",
       "[Nokari]\r\nLspFullName=\r\nTargetEditor=0\r\nJumpCheak=1\r\nReloadCheak=0\r\n", ""},
      {"not a number counts as absent",
       "; "
       "mine\r\n[Other]\r\nx=1\r\n[nokari]\r\nTargetEditor=vs\r\njumpcheak=yes\r\nReloadCheak="
       "2\r\n",
       nullptr, true, 0, true, true, "",
       "; mine\r\n[Other]\r\nx=1\r\n[nokari]\r\nTargetEditor=0\r\nJumpCheak=1\r\nReloadCheak=1\r\n"
       "LspFullName=\r\n",
       ""},
      {"no item chosen stays -1", "[Nokari]\r\nTargetEditor=-1\r\n", nullptr, true, -1, true, false,
       "", "[Nokari]\r\nTargetEditor=-1\r\nJumpCheak=1\r\nReloadCheak=0\r\nLspFullName=\r\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    if (c.ini) h.files.put(h.where.iniPath, c.ini);
    if (c.history) h.files.put(h.where.historyPath, c.history);
    if (c.sourceExists) h.files.put(u"/w/a.lsp", kSample);
    MainController& m = h.start();
    EXPECT_EQ(h.view.editor, c.editor);
    EXPECT_EQ(h.view.jump, c.jump);
    EXPECT_EQ(h.view.reload, c.reload);
    EXPECT_EQ(utf8(h.view.fileName), c.fileName);
    if (std::string(c.fileName).empty()) {
      EXPECT_TRUE(h.view.tree.empty());
      EXPECT_TRUE(m.sourceLines().empty());
      EXPECT_TRUE(m.lspFullName().empty());
    } else {
      EXPECT_EQ(h.treeTexts(),
                (std::vector<std::string>{"Command", "c:go", "Function", "add (a b)"}));
      EXPECT_EQ(utf8(h.view.label), "UTF8");
      EXPECT_EQ(utf8(h.view.hint), "行番号ダブルクリックでジャンプ");
    }
    m.windowClosing();
    EXPECT_EQ(h.ini(), c.iniAfter);
    EXPECT_EQ(h.history(), c.historyAfter);
  }
}

TEST(MainController, OpenDropAndHistoryRoads) {
  struct Case {
    const char* name;
    std::function<void(Harness&)> act;
    const char* fullName;  // lspFullName afterwards
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"open cancelled", [](Harness& h) { h.c->openClicked(); }, "/w/a.lsp", {}},
      {"open another",
       [](Harness& h) {
         h.sys.dialogs.openAnswer = u"/w/b.lsp";
         h.c->openClicked();
       },
       "/w/b.lsp",
       {"tree"}},
      {"open a missing file keeps everything",
       [](Harness& h) {
         h.sys.dialogs.openAnswer = u"/w/missing.lsp";
         h.c->openClicked();
       },
       "/w/a.lsp",
       {"message: ファイルを読み込めません.\n/w/missing.lsp\nアクセスが拒否されました。"}},
      {"open an unreadable file keeps everything",
       [](Harness& h) {
         h.files.unreadable.insert(u"/w/b.lsp");
         h.sys.dialogs.openAnswer = u"/w/b.lsp";
         h.c->openClicked();
       },
       "/w/a.lsp",
       {"message: ファイルを読み込めません.\n/w/b.lsp\nアクセスが拒否されました。"}},
      {"drop takes the first free .lsp",
       [](Harness& h) {
         h.files.put(u"/w/b.LSP", kSample);
         h.files.put(u"/w/c.lsp", kSample);
         h.c->filesDropped({u"/w/a.txt", u"/w/b.LSP", u"/w/c.lsp"});
       },
       "/w/b.LSP",
       {"tree"}},
      {"drop skips a file in use",
       [](Harness& h) {
         h.files.locked.insert(u"/w/b.lsp");
         h.c->filesDropped({u"/w/b.lsp", u"/w/x.lsp.txt"});
       },
       "/w/a.lsp",
       {}},
      {"history entry missing",
       [](Harness& h) {
         h.view.historyAnswer = 1;
         h.c->historyClicked();
       },
       "/w/a.lsp",
       {"message: ファイルが見つかりません."}},
      {"history entry opened",
       [](Harness& h) {
         h.view.historyAnswer = 2;
         h.c->historyClicked();
       },
       "/w/b.lsp",
       {"tree"}},
      {"history cancelled", [](Harness& h) { h.c->historyClicked(); }, "/w/a.lsp", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.files.put(h.where.iniPath, "[Nokari]\r\nLspFullName=/w/a.lsp\r\n");
    h.files.put(h.where.historyPath, "/w/a.lsp\r\n/w/gone.lsp\r\n/w/b.lsp\r\n");
    h.files.put(u"/w/a.lsp", kSample);
    h.files.put(u"/w/b.lsp", "(defun only () 1)\n");
    h.start();
    h.view.events.clear();
    const Lines linesBefore = h.c->sourceLines();
    c.act(h);
    EXPECT_EQ(utf8(h.c->lspFullName()), c.fullName);
    EXPECT_EQ(h.view.events, c.events);
    if (c.events.empty() || c.events[0] != "tree") {
      EXPECT_EQ(h.c->sourceLines(), linesBefore);
    }
    // Every successful open puts its path first in the history.
    h.c->windowClosing();
    EXPECT_EQ(h.history().substr(0, std::string(c.fullName).size()), c.fullName);
  }
}

TEST(MainController, ReloadWaitsForTheEditorAndKeepsThePlace) {
  Harness h;
  h.files.put(h.where.iniPath, "[Nokari]\r\nLspFullName=/w/a.lsp\r\n");
  h.files.put(u"/w/a.lsp", kSample);
  h.start();
  h.view.selection = {1, 0, -1};  // add (a b)
  h.view.top = {1, -1, -1};
  // Lines inserted above: the function moves, the selection follows it by text.
  h.files.put(u"/w/a.lsp", std::string("\n\n(defun c:new () 1)\n") + kSample);
  h.c->reload();
  EXPECT_EQ(h.view.selection, (NodeRef{1, 0, -1}));
  EXPECT_EQ(h.view.top, (NodeRef{1, -1, -1}));
  EXPECT_EQ(nodeAt(h.view.tree, h.view.selection)->line, 5);
  EXPECT_EQ(h.view.fileName, u"a.lsp");

  // Held by the editor: four tests with a pause after each, the fifth decides.
  h.files.locked.insert(u"/w/a.lsp");
  h.sys.calls.clear();
  h.files.put(u"/w/a.lsp", "(defun other () 1)\n");
  h.c->reload();
  EXPECT_EQ(h.sys.calls,
            (std::vector<std::string>{"sleep 50", "sleep 50", "sleep 50", "sleep 50"}));
  EXPECT_EQ(h.c->sourceLines().size(), 6u);  // unchanged
}

TEST(MainController, TreeEventsAndExclusionButton) {
  Harness h;
  h.files.put(h.where.iniPath, "[Nokari]\r\nLspFullName=/w/a.lsp\r\n");
  h.files.put(u"/w/a.lsp", kSample);
  h.start();
  h.view.selection = {1, 0, -1};
  h.c->treeClicked();
  EXPECT_EQ(utf8(h.view.panel), (std::vector<std::string>{";; add", "(defun add (a b)"}));
  EXPECT_EQ(h.view.hint, u"");
  h.view.selection = {0, -1, -1};
  h.c->treeKeyReleased();
  EXPECT_TRUE(h.view.panel.empty());
  EXPECT_TRUE(h.c->treeKeyPressed(13));
  h.view.jump = false;
  EXPECT_FALSE(h.c->treeKeyPressed(13));

  h.view.events.clear();
  h.sys.dialogs.yesNoAnswers = {false, true};
  h.c->exclusionListClicked();
  EXPECT_EQ(h.file(u"/prog/jogaiList.txt"), "<none>");
  ASSERT_EQ(h.view.events.size(), 1u);
  EXPECT_EQ(h.view.events[0],
            "ask: 変数から除外する文字列ファイル jogaiList.txt を作成、編集しますか？\n"
            "保存後に、再度[ 除外 ]ボタンをクリックすると変更が反映されます．");
  EXPECT_EQ(h.view.panel.size(), 57u);
  h.c->exclusionListClicked();
  EXPECT_EQ(h.file(u"/prog/jogaiList.txt"), "");
  EXPECT_EQ(h.sys.calls, (std::vector<std::string>{"sleep 100", "notepad /prog/jogaiList.txt"}));
}

TEST(MainController, CheckButtonsReloadAndWriteTheirReports) {
  const std::string unbalanced = std::string(kSample) + "(defun bad ()\n  (setq x 1)\n";
  struct Case {
    const char* name;
    void (MainController::*button)();
    std::string fileAfter;  // the file as the editor saved it before the click
    std::function<TextList(const Lines&)> expected;
    const char* hint;
    std::vector<std::string> events;
    bool locked = false;  // the editor still holds the file: no reload
  };
  const Case cases[] = {
      {"variables",
       &MainController::variableCheckClicked,
       kSample,
       [](const Lines& l) {
         return variableCheck(l, ExclusionList::defaults(), WhenClear::AllClearLines, nullptr);
       },
       "行番号ダブルクリックでジャンプ",
       {"tree", "scroll"}},
      {"variables without a reload",
       &MainController::variableCheckClicked,
       kSample,
       [](const Lines& l) {
         return variableCheck(l, ExclusionList::defaults(), WhenClear::AllClearLines, nullptr);
       },
       "行番号ダブルクリックでジャンプ",
       {"scroll"},
       true},
      {"functions",
       &MainController::functionCheckClicked,
       kSample,
       [](const Lines& l) { return funcCheck(l, BuiltinList(), nullptr); },
       "",
       {"tree", "scroll"}},
      {"catalogue",
       &MainController::catalogueClicked,
       kSample,
       [](const Lines& l) { return makeCatalogue(l, u"a.lsp", u"2026/12/09 12:00:00", nullptr); },
       "関数カタログ",
       {"tree", "scroll"}},
      {"parentheses balanced",
       &MainController::parenthesisCheckClicked,
       kSample,
       [](const Lines& l) { return parenBalanceCheck(l, false, nullptr).panel; },
       "行番号ダブルクリックでジャンプ",
       {"tree", "scroll"}},
      {"parentheses unbalanced",
       &MainController::parenthesisCheckClicked,
       unbalanced,
       [](const Lines& l) { return parenBalanceCheck(l, false, nullptr).panel; },
       "行番号ダブルクリックでジャンプ",
       {"tree",
        "message: " + test::utf8(parenBalanceCheck(decodeSource(unbalanced, Latin1CodePage()).lines,
                                                   false, nullptr)
                                     .message->text),
        "scroll"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.files.put(h.where.iniPath, "[Nokari]\r\nLspFullName=/w/a.lsp\r\n");
    h.files.put(u"/w/a.lsp", "(defun old () 1)\n");
    h.start();
    h.view.events.clear();
    h.files.put(u"/w/a.lsp", c.fileAfter);
    if (c.locked) h.files.locked.insert(u"/w/a.lsp");
    h.view.panel = {u"what the panel showed before"};
    ((*h.c).*c.button)();
    EXPECT_EQ(utf8(h.view.panel), utf8(c.expected(h.c->sourceLines())));
    EXPECT_EQ(utf8(h.view.hint), c.hint);
    EXPECT_EQ(h.view.events, c.events);
  }
}

TEST(MainController, FunctionCheckKnowsTheFunctionsOfTheFolder) {
  struct Case {
    const char* what;
    unsigned long long limit;       // of the other files' bytes
    std::vector<std::string> tail;  // the panel's last lines
  };
  const Case cases[] = {
      {"read",
       kSiblingBytesLimit,
       {"■定義されていないユーザー関数", "nowhere  [  1]", "■参照されていないユーザー関数", "go",
        "■ユーザー関数の出現数", "go              [  0]", "■他のファイルで定義されている関数",
        "helper lib.lsp", "lib2   LIB2.LSP"}},
      {"too large",
       10,
       {"helper   [  1]", "lib2     [  1]", "nowhere  [  1]", "■参照されていないユーザー関数", "go",
        "■ユーザー関数の出現数", "go              [  0]", "■他のファイルで定義されている関数",
        "（フォルダーの .lsp ファイルが大きすぎるため、他のファイルは読んでいません）"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Harness h;
    h.files.put(h.where.iniPath, "[Nokari]\r\nLspFullName=/w/a.lsp\r\n");
    h.files.put(u"/w/a.lsp", "(defun go () (helper) (lib2) (nowhere))\n");
    h.files.put(u"/w/lib.lsp", "(defun helper () 1)\n");
    h.files.put(u"/w/LIB2.LSP", "(defun lib2 () 1)\n(defun helper () 2)\n");
    h.files.put(u"/w/sub/deep.lsp", "(defun nowhere () 1)\n");  // another folder
    h.files.put(u"/w/notes.txt", "(defun nowhere () 1)\n");     // no AutoLISP file
    h.start();
    if (c.limit == kSiblingBytesLimit) {
      h.c->functionCheckClicked();
    } else {
      const SiblingFunctions others(h.files, u"/w/", u"a.lsp", Latin1CodePage(), c.limit);
      h.view.panel =
          funcCheck(h.c->sourceLines(), BuiltinList(), nullptr, nullptr, &others.program());
    }
    const std::vector<std::string> panel = utf8(h.view.panel);
    ASSERT_GE(panel.size(), c.tail.size());
    EXPECT_EQ(std::vector<std::string>(panel.end() - c.tail.size(), panel.end()), c.tail);
  }
}

TEST(MainController, ParenthesisCheckAsksToJumpWhenTheEditorIsOpen) {
  const std::string unbalanced = std::string(kSample) + "(defun bad ()\n  (setq x 1)\n";
  const std::string question =
      test::utf8(parenBalanceCheck(decodeSource(unbalanced, Latin1CodePage()).lines, true, nullptr)
                     .message->text);
  const std::string plain =
      test::utf8(parenBalanceCheck(decodeSource(unbalanced, Latin1CodePage()).lines, false, nullptr)
                     .message->text);
  struct Case {
    const char* editor;         // TargetEditor
    const char16_t* openClass;  // an editor window on the desktop, or nullptr
    std::string shown;
  };
  const Case cases[] = {
      {"1", u"Notepad", "ask centred: " + question},
      {"2", u"Notepad", "message: " + plain},  // Notepad++ chosen, only Notepad open
      {"1", nullptr, "message: " + plain},
  };
  for (const Case& c : cases) {
    Harness h;
    h.files.put(h.where.iniPath, "[Nokari]\r\nTargetEditor=" + std::string(c.editor) +
                                     "\r\nLspFullName=/w/a.lsp\r\n");
    h.files.put(u"/w/a.lsp", unbalanced);
    if (c.openClass) h.sys.desktop.add(c.openClass, u"a.lsp - editor");
    h.start();
    h.view.events.clear();
    h.c->parenthesisCheckClicked();
    EXPECT_EQ(h.view.events, (std::vector<std::string>{"tree", c.shown, "scroll"})) << c.editor;
  }
}

TEST(MainController, ExitKeepsWhatItCannotWriteAndSaysSoOnce) {
  // Both files change at exit: another editor is chosen and a.lsp comes first in the history.
  const std::string ini = "[Nokari]\r\nTargetEditor=1\r\nLspFullName=/w/a.lsp\r\n";
  const std::string hist = "/w/old.lsp\r\n";
  const std::string notSaved = "message: 次のファイルを保存しませんでした.\n\n";
  struct Case {
    const char* name;
    std::function<void(test::FakeFiles&)> before;  // before start
    std::function<void(test::FakeFiles&)> atExit;  // between start and exit
    bool iniKept, historyKept;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"all well", nullptr, nullptr, false, false, {}},
      {"INI unreadable at start",
       [](test::FakeFiles& f) { f.unreadable.insert(u"/prog/Nokari.ini"); },
       [](test::FakeFiles& f) { f.unreadable.clear(); },
       true,
       false,
       {notSaved + "/prog/Nokari.ini\n読み込めなかったため, "
                   "書き換えていません.\n(アクセスが拒否されました。)"}},
      {"history unreadable at exit",
       nullptr,
       [](test::FakeFiles& f) { f.unreadable.insert(u"/prog/NokariHist.txt"); },
       false,
       true,
       {notSaved + "/prog/NokariHist.txt\n読み込めなかったため, "
                   "書き換えていません.\n(アクセスが拒否されました。)"}},
      {"INI not text",
       [](test::FakeFiles& f) { f.put(u"/prog/Nokari.ini", std::string("[\0N\0", 4)); },
       nullptr,
       true,
       false,
       {notSaved +
        "/prog/Nokari.ini\n文字コードを正確に読み取れなかったため, 書き換えていません."}},
      {"INI read-only",
       nullptr,
       [](test::FakeFiles& f) { f.readOnly.insert(u"/prog/Nokari.ini"); },
       true,
       false,
       {notSaved + "/prog/Nokari.ini\n読み取り専用のため, 書き換えていません."}},
      {"every write fails",
       nullptr,
       [](test::FakeFiles& f) { f.failWrites = true; },
       true,
       true,
       {notSaved +
        "/prog/Nokari.ini\n書き込めませんでした.\n(ディスクに空き領域が不足しています。)\n\n" +
        "/prog/NokariHist.txt\n書き込めませんでした.\n(ディスクに空き領域が不足しています。)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.files.put(h.where.iniPath, ini);
    h.files.put(h.where.historyPath, hist);
    h.files.put(u"/w/a.lsp", kSample);
    if (c.before) c.before(h.files);
    const std::string iniAtStart = h.ini();
    h.start();
    h.view.setEditorIndex(3);
    if (c.atExit) c.atExit(h.files);
    h.view.events.clear();
    h.c->windowClosing();
    EXPECT_EQ(h.ini() == iniAtStart && !h.files.written.count(h.where.iniPath), c.iniKept);
    EXPECT_EQ(h.history() == hist && !h.files.written.count(h.where.historyPath), c.historyKept);
    EXPECT_EQ(h.view.events, c.events);
  }
}

TEST(MainController, TreeAndParenthesisQuestionJumpTheEditor) {
  const std::string unbalanced = std::string(kSample) + "(defun bad ()\n  (setq x 1)\n";
  struct Case {
    const char* name;
    std::string source;
    bool jumpChecked;
    std::function<void(Harness&)> act;
    std::string setText;  // what the go-to-line field got, "" for no jump
  };
  const Case cases[] = {
      {"tree double-click", kSample, true,
       [](Harness& h) {
         h.view.selection = {1, 0, -1};  // add (a b), line 2
         h.c->treeDoubleClicked();
       },
       "set text 3 2"},
      {"tree Enter", kSample, true,
       [](Harness& h) {
         h.view.selection = {0, 0, -1};  // c:go, line 3
         EXPECT_TRUE(h.c->treeKeyPressed(u'\r'));
       },
       "set text 3 3"},
      {"Jump unticked: tree and panel line numbers", kSample, false,
       [](Harness& h) {
         h.view.selection = {1, 0, -1};
         h.c->treeDoubleClicked();
         EXPECT_FALSE(h.c->treeKeyPressed(u'\r'));
         h.view.panelSel.text = u"2|";
         h.c->panelDoubleClicked();
       },
       ""},
      {"jump list Enter, Jump unticked", kSample, false,
       [](Harness& h) {
         h.view.selection = {1, 0, -1};
         h.c->addToJumpListClicked();
         h.view.jumpSelected = 0;
         EXPECT_TRUE(h.c->jumpListKeyPressed(u'\r'));
       },
       "set text 3 2"},
      {"panel line number", kSample, true,
       [](Harness& h) {
         h.view.panelSel.text = u"3|";
         h.c->panelDoubleClicked();
         EXPECT_EQ(h.view.events.back(), "tree");  // the selection stays
       },
       "set text 3 3"},
      {"panel name of a function", kSample, true,
       [](Harness& h) {
         h.view.panelSel = {14, 1, u"d", u"   2| (add 1 2)", 6};  // the "d" of "add"
         h.c->panelDoubleClicked();
         EXPECT_EQ(h.view.events.back(), "panel selection 13 0");
       },
       "set text 3 2"},
      {"panel name of no function: its first call", kSample + std::string("(foo 1)\r\n"), true,
       [](Harness& h) {
         h.view.panelSel = {0, 3, u"foo", u"foo", 0};
         h.c->panelDoubleClicked();
       },
       "set text 3 4"},
      {"panel menu on a selected command name", kSample, true,
       [](Harness& h) {
         h.view.panelSel.text = u" C:GO ";
         h.c->jumpToSelectedFunctionClicked();
       },
       "set text 3 3"},
      {"parenthesis question, Yes", unbalanced, true,
       [](Harness& h) {
         h.sys.dialogs.yesNoAnswers = {true};
         h.c->parenthesisCheckClicked();
       },
       "set text 3 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.files.put(h.where.iniPath, "[Nokari]\r\nTargetEditor=1\r\nLspFullName=/w/a.lsp\r\n");
    h.files.put(u"/w/a.lsp", c.source);
    test::FakeDesktop::Window dialog, field;
    h.sys.desktop.add(u"Notepad", u"a.lsp - メモ帳");
    dialog.className = u"#32770";
    dialog.title = u"行へ移動";
    h.sys.desktop.add(dialog);
    field.className = u"Edit";
    field.parent = 2;
    h.sys.desktop.add(field);
    h.start();
    h.view.jump = c.jumpChecked;
    c.act(h);
    const auto& calls = h.sys.desktop.calls;
    const auto set = std::find_if(calls.begin(), calls.end(),
                                  [](const std::string& s) { return s.rfind("set text", 0) == 0; });
    EXPECT_EQ(set == calls.end() ? "" : *set, c.setText);
  }
}

TEST(MainController, JumpListFollowsTheFile) {
  Harness h;
  h.files.put(h.where.iniPath, "[Nokari]\r\nLspFullName=/w/a.lsp\r\n");
  h.files.put(u"/w/a.lsp", kSample);
  h.files.put(u"/w/b.lsp", kSample);
  h.files.put(h.where.historyPath, "/w/b.lsp\r\n");
  h.start();
  auto shown = [&h] {
    std::string out;
    for (const JumpEntry& e : h.view.jumpEntries)
      out += utf8(e.text) + ":" + std::to_string(e.line) + " ";
    return out;
  };
  h.view.selection = {1, 0, -1};  // add (a b)
  h.c->addToJumpListClicked();
  h.view.selection = {0, 0, -1};  // c:go
  h.c->insertAtJumpListTopClicked();
  h.c->addToJumpListClicked();
  EXPECT_EQ(shown(), "c:go:3 add (a b):2 ");
  h.files.put(u"/w/a.lsp", "\r\n" + std::string(kSample));
  h.c->variableCheckClicked();  // reads the file again
  EXPECT_EQ(shown(), "c:go:4 add (a b):3 ");
  h.view.historyAnswer = 1;  // b.lsp, after a.lsp
  h.c->historyClicked();
  EXPECT_EQ(shown(), "c:go:3 add (a b):2 ");
  h.sys.dialogs.openAnswer = u"/w/a.lsp";
  h.c->openClicked();
  EXPECT_EQ(shown(), "");
}

TEST(MainController, ReloadOnSaveAndTheHelpKey) {
  const std::string edited = "(defun only (q) q)\r\n";
  struct Case {
    const char* name;
    std::function<void(Harness&, WindowHandle editor)> act;  // then ticks until the timer stops
    std::vector<std::string> panel;                          // at the end
    std::string shell;                                       // what the shell was asked
  };
  auto key = [](Harness& h, WindowHandle front, bool down, unsigned vk, bool ctrl) {
    h.sys.desktop.foreground = front;
    h.c->keyNotified(down, vk, ctrl);
  };
  // The variable check of the saved text: the reload has run.
  const std::vector<std::string> reloaded = {"■変数チェック",
                                             "未使用変数、未宣言変数はありません．"};
  const std::vector<std::string> untouched = {};  // the test empties the panel first
  const Case cases[] = {
      {"Ctrl+S in the watched editor reloads",
       [&](Harness& h, WindowHandle ed) { key(h, ed, true, 0x53, true); }, reloaded, ""},
      {"the file held for the whole count",
       [&](Harness& h, WindowHandle ed) {
         h.files.locked.insert(u"/w/a.lsp");
         key(h, ed, true, 0x53, true);
       },
       {"ファイル再読み込み...", "ファイル使用中... 2", "ファイル使用中... 3",
        "ファイル使用中... 4", "ファイル使用中... 5", "ファイル使用中... 6", "ファイル使用中... 7",
        "ファイル使用中... 8", "ファイル使用中... 9", "ファイル使用中... 10",
        "ファイル読み込み失敗"},
       ""},
      {"S without Ctrl, a key-up, another window, a disabled editor, Reload off: nothing",
       [&](Harness& h, WindowHandle ed) {
         key(h, ed, true, 0x53, false);
         key(h, ed, false, 0x53, true);
         key(h, 99, true, 0x53, true);
         h.sys.desktop.windows[ed].enabled = false;
         key(h, ed, true, 0x53, true);
         h.sys.desktop.windows[ed].enabled = true;
         h.view.reload = false;
         key(h, ed, true, 0x53, true);
         key(h, ed, true, 0x70, false);  // F1 counts only in this window
       },
       untouched, ""},
      {"F1 here, down and up: the help page once",
       [&](Harness& h, WindowHandle) {
         key(h, h.view.own, true, 0x70, false);
         key(h, h.view.own, false, 0x70, false);
       },
       untouched,
       "page https://help.autodesk.com/view/OARX/2023/JPN/"
       "?guid=GUID-4CEE5072-8817-4920-8A2D-7060F5E16547\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.files.put(h.where.iniPath,
                "[Nokari]\r\nTargetEditor=1\r\nReloadCheak=1\r\nLspFullName=/w/a.lsp\r\n");
    h.files.put(u"/w/a.lsp", kSample);
    const WindowHandle editor = h.sys.desktop.add(u"Notepad", u"a.lsp - メモ帳");
    h.view.own = h.sys.desktop.add(u"TForm25", u"Nokari");
    h.start();
    EXPECT_TRUE(h.view.keyWatch);
    h.files.put(u"/w/a.lsp", edited);
    h.view.panel.clear();
    h.sys.calls.clear();
    c.act(h, editor);
    for (int i = 0; i < 20 && h.view.timerRunning; ++i) h.c->timerTicked();
    EXPECT_FALSE(h.view.timerRunning);
    EXPECT_EQ(utf8(h.view.panel), c.panel);
    std::string shell;
    for (const std::string& call : h.sys.calls) shell += call + "\n";
    EXPECT_EQ(shell, c.shell);
  }
}

TEST(MainController, DockingPlacesEveryWindowBeside) {
  for (const bool right : {false, true}) {
    SCOPED_TRACE(right ? "right" : "left");
    Harness h;
    h.files.put(h.where.iniPath, "[Nokari]\r\nTargetEditor=1\r\n");
    test::FakeDesktop& d = h.sys.desktop;
    d.screenRect = {0, 0, 1920, 1080};
    test::FakeDesktop::Window bar;
    bar.className = u"Shell_TrayWnd";
    bar.rect = {0, 1040, 1920, 1080};
    d.add(bar);
    const WindowHandle cad = d.add(u"BricscadMainWindow", u"BricsCAD");
    test::FakeDesktop::Window ed;
    ed.className = u"Notepad";
    ed.iconic = true;
    const WindowHandle editor = d.add(ed);
    d.add(u"Browser",
          u"x AutoCAD 2023 Developer and ObjectARX ヘルプ | 関数リファレンス(AutoLISP) |");
    const WindowHandle help =
        d.add(u"Browser",
              u"AutoCAD 2023 Developer and ObjectARX ヘルプ | 関数リファレンス(AutoLISP) | x");
    h.view.outer = {300, 200, 575, 700};  // 275 wide
    h.start();
    h.c->dockClicked(right);
    const ScreenRect own = right ? ScreenRect{1645, 0, 1920, 1040} : ScreenRect{0, 0, 275, 1040};
    EXPECT_EQ(h.view.outer, own);
    const std::string at = right ? " 0,0 1645x1040" : " 275,0 1645x1040";
    const auto n = [](WindowHandle w) { return std::to_string(w); };
    EXPECT_EQ(d.calls, (std::vector<std::string>{"restore " + n(cad), "place " + n(cad) + at,
                                                 "restore " + n(editor), "place " + n(editor) + at,
                                                 "restore " + n(help), "place " + n(help) + at,
                                                 "foreground " + n(editor)}));
  }
}

}  // namespace
}  // namespace nokari
