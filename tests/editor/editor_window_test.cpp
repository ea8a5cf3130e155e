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
    EditorWindow editor(desktop);
    if (c.firstIndex >= 0) editor.getEditorMainWinHandle(c.firstIndex);
    if (c.closeAll)
      for (auto& [h, w] : desktop.windows) w.open = false;
    editor.getEditorMainWinHandle(c.editorIndex);
    EXPECT_EQ(editor.editorWnd(), c.found) << c.name;
    EXPECT_EQ(editor.watchedEditorWnd(), c.found) << c.name;
    EXPECT_TRUE(desktop.calls.empty()) << c.name << ": the lookup acted on a window";
  }
}

}  // namespace
}  // namespace nokari
