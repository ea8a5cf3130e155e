#include "cad/cad_bridge.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_automation.h"
#include "fakes/fake_services.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::FakeAutomation;
using test::FakeDesktop;
using test::utf8;

// The texts as the logs print them: Escape as "<", Enter as ">".
std::string readable(std::string s) {
  std::string out;
  for (char c : s)
    out += c == '\x1b' ? std::string("<") : c == '\r' ? std::string(">") : std::string(1, c);
  return out;
}
std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += readable(l) + "\n";
  return out;
}

TEST(CadBridge, Texts) {
  EXPECT_EQ(readable(utf8(cadLoadText(u"C:\\lisp\\a b.lsp"))),
            "<(load \"C:\\\\lisp\\\\a b.lsp\")(princ)>");
  EXPECT_EQ(readable(utf8(cadLoadText(u"/w/a.lsp"))), "<(load \"/w/a.lsp\")(princ)>");
  const std::pair<const char16_t*, const char*> commands[] = {
      {u"c:Draw", "<Draw>"}, {u"C: go ", "<go>"},   {u"C:", "<>"},
      {u" C:x", nullptr},    {u"foo (a)", nullptr}, {u"c", nullptr},
  };
  for (const auto& [node, text] : commands) {
    const std::optional<Text> got = cadCommandText(node);
    EXPECT_EQ(got ? readable(utf8(*got)) : "none", text ? text : "none") << utf8(Text(node));
  }
}

// One running CAD (or none) and what a click on "C" finds of it.
TEST(CadBridge, WindowSearches) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char16_t*, const char16_t*>> windows;  // class, title
    int found;  // 1-based index of the window lastCadWnd names, 0 none
  };
  const Case cases[] = {
      {"AutoCAD by its class, whatever its title",
       {{u"Other", u"x"}, {u"AfxMDIFrame140u", u""}},
       2},
      {"AutoCAD by title and an Afx class with :8:",
       {{u"Afx:400000:8:10003:0:1", u"AutoCAD 2024 - [a.dwg]"}},
       1},
      {"DWG TrueView by an AfxMDIFrame class", {{u"AfxMDIFrame120", u"DWG TrueView 2020"}}, 1},
      {"Afx class without :8: is not AutoCAD", {{u"Afx:400000:0:10003", u"AutoCAD 2024"}}, 0},
      {"lower-case autocad is not AutoCAD", {{u"Afx:1:8:2", u"autocad 2024"}}, 0},
      {"BricsCAD by its class", {{u"BricscadMainWindow", u"BricsCAD V23"}}, 1},
      {"IJCAD", {{u"Afx:1:2", u"IJCAD 2024 PRO"}}, 1},
      {"IJCAD with another year", {{u"Afx:1:2", u"IJCAD 19"}}, 0},
      {"ARES", {{u"Qt5QWindowIconX", u"ARES Commander"}}, 1},
      {"ZWCAD", {{u"Afx:9", u"ZWCAD 2024"}}, 1},
      {"the first in the product order wins",
       {{u"Afx:9", u"ZWCAD 2024"}, {u"BricscadMainWindow", u"BricsCAD"}},
       2},
      {"none running", {{u"Notepad", u"a.lsp"}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDesktop desktop;
    FakeAutomation automation;
    for (const auto& [cls, title] : c.windows) desktop.add(cls, title);
    CadBridge cad(desktop, automation);
    cad.findCad();
    EXPECT_EQ(cad.lastCadWnd(), static_cast<WindowHandle>(c.found));
    EXPECT_EQ(cad.cadWindow(), static_cast<WindowHandle>(c.found));
  }
}

// An automation object for a product, with its main window and (for AutoCAD and GstarCAD) a
// document.
std::shared_ptr<FakeAutomation::Object> runningApp(FakeAutomation& a, const Text& progId,
                                                   const Text& iid, WindowHandle wnd,
                                                   int documentAt) {
  auto app = std::make_shared<FakeAutomation::Object>();
  app->iid = iid;
  app->name = "app";
  app->handles[53] = wnd;
  if (documentAt >= 0) {
    auto doc = std::make_shared<FakeAutomation::Object>();
    doc->name = "doc";
    app->children[documentAt] = doc;
  }
  a.running[progId] = app;
  return app;
}

constexpr char16_t kAcad[] = u"Autocad.Application.24";
constexpr char16_t kAcadIid[] = u"{52EE1CD2-A793-4DEC-9DF9-71CE75881F05}";
constexpr char16_t kBricscad[] = u"BricscadApp.AcadApplication";
constexpr char16_t kBricscadIid[] = u"{D48F17B7-773E-4238-A6C6-B2BBEBAA9A1E}";
constexpr char16_t kGcad[] = u"Gcad.Application.23";
constexpr char16_t kGcadIid[] = u"{9D268BF9-B5CA-4C07-946E-D0A1A3A0913F}";

// ARES's main window (1) with its input field (4), the first child's second child; a CAD that
// stops answering has hung set on the window named.
void addAres(FakeDesktop& d, bool mainHung = false, bool fieldHung = false) {
  const WindowHandle main = d.add(u"Qt5QWindowIcon", u"ARES Commander");
  FakeDesktop::Window w;
  w.parent = main;
  const WindowHandle first = d.add(w);
  w.parent = first;
  d.add(w);
  w.hung = fieldHung;
  d.add(w);
  d.windows[main].hung = mainHung;
}

TEST(CadBridge, SendRoutes) {
  struct Case {
    const char* name;
    std::function<void(FakeDesktop&, FakeAutomation&)> setUp;
    const char* desktopCalls;
    const char* automationCalls;  // after the three attach lines, unless none answered
    WindowHandle last, com;
  };
  const char* const kNoAutomation =
      "attach Autocad.Application.24\nattach BricscadApp.AcadApplication\n"
      "attach Gcad.Application.23\n";
  const Case cases[] = {
      {"AutoCAD by automation: the document's command",
       [](FakeDesktop& d, FakeAutomation& a) {
         runningApp(a, kAcad, kAcadIid, d.add(u"X", u"AutoCAD"), 12);
       },
       "foreground 1\n",
       "attach Autocad.Application.24\napp object 12\napp handle 53\napp handle 53\ndoc call 89 "
       "<x>\n",
       0, 1},
      {"BricsCAD by automation: the application's command",
       [](FakeDesktop& d, FakeAutomation& a) {
         runningApp(a, kBricscad, kBricscadIid, d.add(u"X", u"B"), -1);
       },
       "foreground 1\n",
       "attach Autocad.Application.24\nattach BricscadApp.AcadApplication\napp handle 53\n"
       "app handle 53\napp call 56 <x>\n",
       0, 1},
      {"GstarCAD by automation",
       [](FakeDesktop& d, FakeAutomation& a) {
         runningApp(a, kGcad, kGcadIid, d.add(u"X", u"G"), 12);
       },
       "foreground 1\n",
       "attach Autocad.Application.24\nattach BricscadApp.AcadApplication\n"
       "attach Gcad.Application.23\napp object 12\napp handle 53\napp handle 53\ndoc call 91 <x>\n",
       0, 1},
      {"a rejected command goes on to the windows, the CAD already in front",
       [](FakeDesktop& d, FakeAutomation& a) {
         const WindowHandle w = d.add(u"AfxMDIFrame140u", u"AutoCAD");
         runningApp(a, kAcad, kAcadIid, w, 12)->children[12]->failing.insert(89);
       },
       "foreground 1\nforeground 1\ncopy data 1 1 <x> NUL\nnull 1\n",
       "attach Autocad.Application.24\napp object 12\napp handle 53\napp handle 53\ndoc call 89 "
       "<x>\n"
       "attach BricscadApp.AcadApplication\nattach Gcad.Application.23\n",
       1, 1},
      {"another interface than the one asked for fails the route",
       [](FakeDesktop&, FakeAutomation& a) { runningApp(a, kAcad, u"{0}", 5, 12); }, "", "", 0, 0},
      {"AutoCAD by WM_COPYDATA",
       [](FakeDesktop& d, FakeAutomation&) { d.add(u"AfxMDIFrame140u", u"AutoCAD"); },
       "foreground 1\ncopy data 1 1 <x> NUL\nnull 1\n", "", 1, 0},
      {"a minimized CAD is restored first",
       [](FakeDesktop& d, FakeAutomation&) {
         FakeDesktop::Window w;
         w.className = u"BricscadMainWindow";
         w.iconic = true;
         d.add(w);
       },
       "restore 1\nforeground 1\ncopy data 1 1 <x> NUL\nnull 1\n", "", 1, 0},
      {"a disabled main window gets nothing, and the route still counts",
       [](FakeDesktop& d, FakeAutomation&) {
         FakeDesktop::Window w;
         w.className = u"Afx:1";
         w.title = u"ZWCAD 2024";
         w.enabled = false;
         d.add(w);
         d.add(u"Afx:2", u"ZWCAD 2023");
       },
       "foreground 1\n", "", 1, 0},
      {"IJCAD with Intelli in its title: WM_COPYDATA",
       [](FakeDesktop& d, FakeAutomation&) { d.add(u"Afx:1", u"IJCAD 2024 Intelli"); },
       "foreground 1\ncopy data 1 1 <x> NUL\nnull 1\n", "", 1, 0},
      {"IJCAD: typed into the command line's field",
       [](FakeDesktop& d, FakeAutomation&) {
         const WindowHandle main = d.add(u"Afx:1", u"IJCAD 2024");
         auto child = [&d](WindowHandle parent, const Text& cls, const Text& title) {
           FakeDesktop::Window w;
           w.className = cls;
           w.title = title;
           w.parent = parent;
           return d.add(w);
         };
         child(main, u"Afx:x", u"コマンド");
         const WindowHandle line = child(main, u"Afx:y", u"コマンド ライン - 1");
         const WindowHandle first = child(line, u"Static", u"");
         const WindowHandle next = child(line, u"Panel", u"");
         child(first, u"Edit", u"not this one");
         child(next, u"Edit", u"");  // 7: the field
       },
       "foreground 1\nsend char 7 <\nsend char 7 x\nsend char 7 >\n", "", 1, 0},
      {"IJCAD without its command line is passed over",
       [](FakeDesktop& d, FakeAutomation&) { d.add(u"Afx:1", u"IJCAD 2024"); }, "", "", 0, 0},
      {"ARES: Escape and Enter as key presses", [](FakeDesktop& d, FakeAutomation&) { addAres(d); },
       "foreground 1\nkey 1 27\nsend char 4 x\nkey 1 13\n", "", 1, 0},
      {"a CAD that stops answering: typing ends at the first character",
       [](FakeDesktop& d, FakeAutomation&) { addAres(d, false, true); },
       "foreground 1\nkey 1 27\nsend char 4 x\n", "", 1, 0},
      {"an ARES that stops answering: no character follows the unanswered Escape",
       [](FakeDesktop& d, FakeAutomation&) { addAres(d, true, false); }, "foreground 1\nkey 1 27\n",
       "", 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDesktop desktop;
    FakeAutomation automation;
    c.setUp(desktop, automation);
    CadBridge cad(desktop, automation);
    cad.sendToCad(u"\x1bx\r");
    EXPECT_EQ(joined(desktop.calls), readable(c.desktopCalls));
    const std::string wantAutomation = *c.automationCalls ? c.automationCalls : kNoAutomation;
    EXPECT_EQ(joined(automation.calls), readable(wantAutomation));
    EXPECT_EQ(cad.lastCadWnd(), c.last);
    EXPECT_EQ(cad.comCadWnd(), c.com);
    EXPECT_EQ(automation.references, 0);
  }
}

TEST(CadBridge, ActivationAndWhichWindow) {
  FakeDesktop desktop;
  FakeAutomation automation;
  CadBridge cad(desktop, automation);
  FakeDesktop::Window zw;
  zw.className = u"Afx:1";
  zw.title = u"ZWCAD 2024";
  zw.iconic = true;
  const WindowHandle zwcad = desktop.add(zw);
  cad.activate();  // found by its window, restored, brought forward
  EXPECT_EQ(joined(desktop.calls), "restore 1\nforeground 1\n");
  EXPECT_EQ(cad.cadWindow(), zwcad);

  // AutoCAD answers by automation: it wins over the ZWCAD window found before, and no window
  // route runs, so lastCadWnd keeps ZWCAD.
  const WindowHandle acad = desktop.add(u"AfxMDIFrame140u", u"AutoCAD");
  runningApp(automation, kAcad, kAcadIid, acad, 12);
  desktop.calls.clear();
  cad.activate();
  EXPECT_EQ(joined(desktop.calls), "foreground 2\n");
  EXPECT_EQ(cad.comCadWnd(), acad);
  EXPECT_EQ(cad.lastCadWnd(), zwcad);
  EXPECT_EQ(cad.cadWindow(), acad);

  // AutoCAD closes: its window is gone, the last window route's CAD is taken.
  desktop.windows[acad].open = false;
  automation.running.clear();
  EXPECT_EQ(cad.cadWindow(), zwcad);
  // ZWCAD closes too: a search finds nothing and forgets it.
  desktop.windows[zwcad].open = false;
  cad.findCad();
  EXPECT_EQ(cad.lastCadWnd(), 0u);
  EXPECT_EQ(cad.cadWindow(), 0u);
  EXPECT_EQ(automation.references, 0);
}

TEST(CadBridge, PlaceBesideADockedWindow) {
  struct Case {
    const char* name;
    ScreenRect own;
    bool taskbar;
    const char* calls;
  };
  // Screen 1920 x 1080, taskbar 40 high: work height 1040.
  const Case cases[] = {
      {"docked left", {0, 0, 300, 1040}, true, "restore 2\nplace 2 300,0 1620x1040\n"},
      {"docked right", {1620, 0, 1920, 1040}, true, "restore 2\nplace 2 0,0 1620x1040\n"},
      {"not full height: only restored", {0, 0, 300, 900}, true, "restore 2\n"},
      {"in the middle: only restored", {500, 0, 800, 1040}, true, "restore 2\n"},
      {"no taskbar: nothing", {0, 0, 300, 1040}, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDesktop desktop;
    FakeAutomation automation;
    FakeDesktop::Window bar;
    bar.className = c.taskbar ? u"Shell_TrayWnd" : u"Other";
    bar.rect = {0, 1040, 1920, 1080};
    desktop.add(bar);
    desktop.add(u"BricscadMainWindow", u"BricsCAD");
    CadBridge cad(desktop, automation);
    cad.findCad();
    cad.placeBeside(c.own);
    EXPECT_EQ(joined(desktop.calls), c.calls);
  }
}

}  // namespace
}  // namespace nokari
