#include "editor/editor_window.h"

#include <gtest/gtest.h>

#include "fakes/fake_services.h"

namespace nokari {
namespace {

using test::FakeDesktop;

// Windows of a desktop in the system's order: class and title.
struct Win {
  const char16_t* cls;
  const char16_t* title;
};

TEST(EditorWindow, LookUpByEditor) {
  struct Case {
    const char* name;
    std::vector<Win> windows;
    int firstIndex;  // a search made before, -1 for none
    bool closeAll;   // every window closes between the two searches
    int editorIndex;
    WindowHandle found;  // editorWnd afterwards: 1-based place in `windows`, 0 for none
  };
  const Case cases[] = {
      {"notepad by class, not title",
       {{u"Edit", u"Notepad"}, {u"Notepad", u"x - メモ帳"}},
       -1,
       false,
       1,
       2},
      {"notepad gone clears", {{u"Notepad", u"a"}}, 1, true, 1, 0},
      {"notepad++", {{u"Notepad++", u"*C:\\a.lsp - Notepad++"}}, -1, false, 2, 1},
      {"mery", {{u"TChildForm", u"a.lsp"}}, -1, false, 3, 1},
      {"terapad", {{u"TTeraPadMainForm", u"a.lsp - TeraPad"}}, -1, false, 4, 1},
      {"vs code: the first window with the name after its start",
       {{u"Chrome_WidgetWin_1", u"Visual Studio Code"},
        {u"Other", u"a.lsp - Visual Studio Code"},
        {u"Chrome_WidgetWin_1", u""},
        {u"Chrome_WidgetWin_1", u"● a.lsp - w - Visual Studio Code"},
        {u"Chrome_WidgetWin_1", u"b.lsp - Visual Studio Code"}},
       -1,
       false,
       0,
       4},
      {"vs code absent keeps the earlier window", {{u"Notepad", u"a"}}, 1, false, 0, 1},
      {"vs code absent keeps even a closed one", {{u"Notepad", u"a"}}, 1, true, 0, 1},
      {"no editor chosen leaves it", {{u"Notepad", u"a"}}, 1, false, -1, 1},
      {"index past the list leaves it", {{u"Notepad", u"a"}}, 1, false, 5, 1},
  };
  for (const Case& c : cases) {
    FakeDesktop desktop;
    for (const Win& w : c.windows) desktop.add(w.cls, w.title);
    test::CallLog waits;
    test::FakeClock clock(waits);
    EditorWindow editor(desktop, clock);
    if (c.firstIndex >= 0) editor.findEditor(c.firstIndex);
    if (c.closeAll)
      for (auto& [h, w] : desktop.windows) w.open = false;
    editor.findEditor(c.editorIndex);
    EXPECT_EQ(editor.editorWnd(), c.found) << c.name;
    EXPECT_EQ(editor.watchedEditorWnd(), c.found) << c.name;
    EXPECT_TRUE(desktop.calls.empty()) << c.name << ": the lookup acted on a window";
  }
}

// The jump's whole protocol, waits included, as the fake desktop and clock log it.
TEST(EditorWindow, JumpProtocolPerEditor) {
  using Calls = std::vector<std::string>;
  // Keys: Ctrl 17, Alt 18, G 71, J 74, Enter 13, digits 48-57.
  const Calls front = {"foreground 1", "sleep 100"};
  auto chord = [](unsigned mod, unsigned key) {
    const std::string m = std::to_string(mod), k = std::to_string(key);
    return Calls{"key down " + m, "key down " + k, "key up " + k, "key up " + m, "sleep 200"};
  };
  auto join = [](std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  struct Case {
    const char* name;
    int editor;
    Text mainClass, title;
    std::vector<Win> dialog;  // the go-to-line window, then its children
    bool iconic = false;
    bool refused = false;  // the system refuses to hand over the foreground
    Calls calls;
    const char* fileName = "sample.lsp";
    std::vector<std::pair<Text, Text>> overrides = {};  // from the INI's "Editors" section
  };
  const Case cases[] = {
      {"notepad",
       Notepad,
       u"Notepad",
       u"*sample.lsp - メモ帳",
       {{u"#32770", u"行へ移動"}, {u"Edit", u""}, {u"Button", u"移動"}},
       false,
       false,
       join({front, chord(17, 71), {"set text 3 1234", "click 4"}})},
      {"notepad++ clicks the line choice first",
       NotepadPlusPlus,
       u"Notepad++",
       u"C:\\w\\sample.lsp - Notepad++",
       {{u"#32770", u"指定位置へジャンプ..."},
        {u"Edit", u""},
        {u"Button", u"ジャンプ"},
        {u"Button", u"行(&L)"}},
       false,
       false,
       join({front, chord(17, 71), {"set text 3 1234", "click 5", "click 4"}})},
      {"mery, minimized",
       Mery,
       u"TChildForm",
       u"*sample.lsp - Mery",
       {{u"TGoToLineForm", u""}, {u"TSpinEditEx", u""}, {u"TButton", u"OK"}},
       true,
       false,
       join({{"restore 1", "sleep 200"}, front, chord(17, 71), {"set text 3 1234", "click 4"}})},
      {"terapad",
       TeraPad,
       u"TTeraPadMainForm",
       u"sample.lsp - TeraPad",
       {{u"TFormJump", u""}, {u"TComboBox", u""}, {u"TButton", u"OK"}},
       false,
       false,
       join({front, chord(17, 74), {"set text 3 1234", "click 4"}})},
      {"vs code types the digits",
       VsCode,
       u"Chrome_WidgetWin_1",
       u"● sample.lsp - w - Visual Studio Code",
       {},
       false,
       false,
       join({front,
             {"ime close 1"},
             chord(18, 71),
             {"key down 49", "key up 49", "key down 50", "key up 50", "key down 51", "key up 51",
              "key down 52", "key up 52", "key down 13", "key up 13"}})},
      {"notepad in English, with its texts from the INI",
       Notepad,
       u"Notepad",
       u"sample.lsp - Notepad",
       {{u"#32770", u"Go To Line"}, {u"Edit", u""}, {u"Button", u"Go To"}},
       false,
       false,
       join({front, chord(17, 71), {"set text 3 1234", "click 4"}}),
       "sample.lsp",
       {{u"Notepad.GotoTitle", u"Go To Line"}, {u"Notepad.GotoButton", u"Go To"}}},
      {"no dialog appears",
       Notepad,
       u"Notepad",
       u"sample.lsp - メモ帳",
       {},
       false,
       false,
       join({front, chord(17, 71)})},
      {"the dialog lacks its field and button",
       Notepad,
       u"Notepad",
       u"sample.lsp - メモ帳",
       {{u"#32770", u"行へ移動"}},
       false,
       false,
       join({front, chord(17, 71)})},
      {"not foreground", Notepad, u"Notepad", u"sample.lsp - メモ帳", {}, false, true, front},
      {"another file", Notepad, u"Notepad", u"other.lsp - メモ帳", {}, false, false, {}},
      {"letter case differs", Mery, u"TChildForm", u"sample.LSP - Mery", {}, false, false, {}},
      {"a folder in Notepad's title",
       Notepad,
       u"Notepad",
       u"C:\\sample.lsp - メモ帳",
       {},
       false,
       false,
       {}},
      {"not a .lsp", Notepad, u"Notepad", u"sample.txt - メモ帳", {}, false, false, {}},
      {"a dash in the name",
       Notepad,
       u"Notepad",
       u"a - b.lsp - メモ帳",
       {},
       false,
       false,
       {},
       "a - b.lsp"},
      {"no dash", Notepad, u"Notepad", u"sample.lsp", {}, false, false, {}},
      {"empty title", Notepad, u"Notepad", u"", {}, false, false, {}},
      {"editor absent", TeraPad, u"Notepad", u"sample.lsp - メモ帳", {}, false, false, {}},
      {"no editor chosen", -1, u"Notepad", u"sample.lsp - メモ帳", {}, false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDesktop desktop;
    test::FakeClock clock(desktop.calls);
    FakeDesktop::Window main;
    main.className = c.mainClass;
    main.title = c.title;
    main.iconic = c.iconic;
    desktop.add(main);
    for (size_t i = 0; i < c.dialog.size(); ++i) {
      FakeDesktop::Window w;
      w.className = c.dialog[i].cls;
      w.title = c.dialog[i].title;
      w.parent = i == 0 ? 0 : 2;
      desktop.add(w);
    }
    desktop.refuseForeground = c.refused;
    desktop.imeIsOpen = true;  // a Japanese input method, switched on
    EditorWindow editor(desktop, clock);
    for (const auto& [key, value] : c.overrides) EXPECT_TRUE(editor.overrideValue(key, value));
    EXPECT_FALSE(editor.overrideValue(u"Notepad.Colour", u"red"));
    editor.jumpToLine(c.editor, 1234, fromUtf8(c.fileName));
    EXPECT_EQ(desktop.calls, c.calls);
  }
}

}  // namespace
}  // namespace nokari
