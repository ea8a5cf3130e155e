// nokari-e2e: drives a running Nokari window from another process, one command per run, for the
// end-to-end suite. Every wait ends at the deadline (--timeout, default 10 s); output is UTF-8.
//
//   wait                           the main window is shown, its start is over and it answers
//                                  messages (commands on the window first wait for that)
//   tree [--expect FILE]           the tree's texts, two spaces of indent per level
//   text CONTROL [--expect FILE] [--mask-line N]
//                                  a control's text, CR LF printed as LF (Panel,
//                                  EncodingLabel, FileNameBox ...)
//   selected [--expect FILE]       the selected tree node as "Group/Node"
//   click CONTROL                  clicks a button; returns when its handler is done or a dialog
//                                  of the program is open
//   select PATH                    clicks the tree node "Group/Node" or "Group/Node/Nested"
//   double-click PATH              double-clicks the tree node "Group/Node"
//   caret-line CLASS               the 1-based caret line in the Edit child of the first
//                                  top-level window of CLASS (an editor's text)
//   menu ITEM                      chooses the popup menu item ITEM (CopyFunctionTextItem ...)
//   jump-list [--expect FILE]      the jump list's entries, the selected one after "* "
//   jump-list-select N             selects entry N (1-based; 0 for none)
//   jump-list-double-click N       double-clicks entry N
//   jump-list-enter N              clicks entry N, then presses Enter with the list focused
//   jump-list-drag N M|below       drags entry N onto entry M, or below the last entry
//   panel-double-click TEXT        double-clicks inside the first TEXT in the results panel
//   panel-select TEXT              selects the first TEXT in the results panel
//   panel-selection                the panel's selection as "LINE:COLUMN+LENGTH" (1-based line)
//   clipboard [--expect FILE]      the clipboard's text, CR LF printed as LF
//   dialog [--expect FILE]         the text of the program's open message box
//   answer yes|no|ok|cancel [--expect FILE]
//                                  prints the message box text, then presses the button
//   history                        the entries of the open history dialog
//   history-open N                 chooses entry N (1-based) of the open history dialog, then OK
//   wait-class CLASS               a top-level window of CLASS is shown; prints its title
//   close-class CLASS              closes every top-level window of CLASS
//   pointer X Y                    moves the mouse pointer to the screen point
//   foreground [--expect FILE]     the foreground window: its class, TAB, its title, TAB, and
//                                  "minimized" or "shown"; read without a message to it, so a
//                                  window that hangs shows as well ("none" when there is none)
//   hold FILE SECONDS              keeps FILE open with no sharing for SECONDS; prints "held"
//   close                          closes the main window and waits for the program to end
//   bench-start EXE                starts EXE; prints the milliseconds until its window stands
//                                  painted with the tree filled, until it was shown, and until
//                                  its start sequence was over
//   bench-click ID                 clicks button ID; prints the milliseconds until its handler
//                                  is done (the panel filled)
//   bench-run EXE ARGS...          runs EXE with ARGS (output to NUL); prints its milliseconds
//
// Exit status: 0 done (and equal to --expect), 1 failed or timed out, 2 usage error.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "deadline.h"
#include "gui/control_ids.h"
#include "remote_tree.h"
#include "window_bench.h"

namespace {

using namespace e2e;

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

void print(const std::string& s) {
  std::fwrite(s.data(), 1, s.size(), stdout);
  std::fflush(stdout);
}

int fail(const std::string& why) {
  std::fflush(stdout);
  std::string line = "nokari-e2e: " + why + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  return 1;
}

// Window text as printed lines: CR LF becomes LF, and a text that is not empty ends with LF.
std::string asLines(const std::wstring& text) {
  std::wstring t;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    t += text[i];
  }
  std::string s = utf8(t);
  if (!s.empty()) s += '\n';
  return s;
}

bool readFile(const std::wstring& path, std::string& out) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return false;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return true;
}

std::string maskLine(const std::string& s, int line) {
  if (line <= 0) return s;
  std::string out;
  int n = 1;
  size_t b = 0;
  while (b < s.size()) {
    size_t e = s.find('\n', b);
    size_t end = e == std::string::npos ? s.size() : e + 1;
    out += n == line ? std::string("*\n") : s.substr(b, end - b);
    ++n;
    b = end;
  }
  return out;
}

std::wstring windowText(HWND w) {
  LRESULT len = 0;
  if (!send(w, WM_GETTEXTLENGTH, 0, 0, &len)) return {};
  std::wstring s(static_cast<size_t>(len) + 1, L'\0');
  LRESULT got = 0;
  send(w, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()), &got);
  s.resize(static_cast<size_t>(got));
  return s;
}

std::wstring className(HWND w) {
  wchar_t buf[256] = {};
  GetClassNameW(w, buf, 256);
  return buf;
}

// The main window once its start sequence is over (it shows before that).
HWND findMain() {
  HWND w = FindWindowW(NOKARI_MAIN_CLASS, nullptr);
  return w && IsWindowVisible(w) &&
                 reinterpret_cast<INT_PTR>(GetPropW(w, NOKARI_STARTED_PROP)) ==
                     nokari::ids::kStartOver
             ? w
             : nullptr;
}

HWND waitMain() {
  for (;;) {
    if (HWND w = findMain()) return w;
    if (expired()) return nullptr;
    Sleep(50);
  }
}

// A visible top-level window of CLASS, of the process PID (0: any process).
HWND findTopLevel(const std::wstring& cls, DWORD pid) {
  struct Ctx {
    const std::wstring* cls;
    DWORD pid;
    HWND found;
  } ctx{&cls, pid, nullptr};
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(lp);
        if (!IsWindowVisible(w) || className(w) != *c->cls) return TRUE;
        if (c->pid && processOf(w) != c->pid) return TRUE;
        c->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

HWND waitTopLevel(const std::wstring& cls, DWORD pid) {
  for (;;) {
    if (HWND w = findTopLevel(cls, pid)) return w;
    if (expired()) return nullptr;
    Sleep(50);
  }
}

// The names the scenarios give the main window's controls.
struct Named {
  const char* name;
  int id;
};
namespace ids = nokari::ids;
// The controls and menu items by their role, as control_ids.h names them.
const Named kControls[] = {
    {"OpenButton", ids::OpenButton},
    {"EditorBox", ids::EditorBox},
    {"JumpCheck", ids::JumpCheck},
    {"ReloadCheck", ids::ReloadCheck},
    {"CadLoadButton", ids::CadLoadButton},
    {"CadActivateButton", ids::CadActivateButton},
    {"EditorActivateButton", ids::EditorActivateButton},
    {"CatalogueButton", ids::CatalogueButton},
    {"ParenthesisCheckButton", ids::ParenthesisCheckButton},
    {"VariableCheckButton", ids::VariableCheckButton},
    {"ExclusionListButton", ids::ExclusionListButton},
    {"FunctionCheckButton", ids::FunctionCheckButton},
    {"DockLeftButton", ids::DockLeftButton},
    {"DockRightButton", ids::DockRightButton},
    {"EncodingLabel", ids::EncodingLabel},
    {"FileNameBox", ids::FileNameBox},
    {"HistoryButton", ids::HistoryButton},
    {"JumpList", ids::JumpList},
    {"Tree", ids::Tree},
    {"Panel", ids::Panel},
    {"ProgressBar", ids::ProgressBar},
    {"AddToJumpListItem", ids::AddToJumpListItem},
    {"InsertAtJumpListTopItem", ids::InsertAtJumpListTopItem},
    {"ClearJumpListItem", ids::ClearJumpListItem},
    {"CopyFunctionNameItem", ids::CopyFunctionNameItem},
    {"CopyFunctionTextItem", ids::CopyFunctionTextItem},
    {"SendTreeCommandToCadItem", ids::SendTreeCommandToCadItem},
    {"MoveUpItem", ids::MoveUpItem},
    {"MoveDownItem", ids::MoveDownItem},
    {"DeleteItem", ids::DeleteItem},
    {"DeleteAllItem", ids::DeleteAllItem},
    {"SendJumpListCommandToCadItem", ids::SendJumpListCommandToCadItem},
    {"JumpToSelectedLineItem", ids::JumpToSelectedLineItem},
};

int controlId(const std::string& name) {
  for (const Named& c : kControls)
    if (name == c.name) return c.id;
  char* end = nullptr;
  long n = std::strtol(name.c_str(), &end, 10);
  return end && *end == '\0' && n > 0 ? static_cast<int>(n) : 0;
}

std::string treeLines(const std::vector<TreeItem>& items) {
  std::string s;
  for (const TreeItem& it : items) {
    s += std::string(static_cast<size_t>(it.level) * 2, ' ') + utf8(it.text) + '\n';
  }
  return s;
}

struct Options {
  std::wstring expectFile;
  int maskLine = 0;
};

// Prints what `produce` reads; with --expect, reads again until it equals the file or time is up.
template <class Produce>
int printOrExpect(const Options& o, Produce produce) {
  std::string got;
  if (o.expectFile.empty()) {
    if (!produce(got)) return fail("cannot read the window");
    print(got);
    return 0;
  }
  std::string want;
  if (!readFile(o.expectFile, want)) return fail("cannot read " + utf8(o.expectFile));
  want = maskLine(want, o.maskLine);
  for (;;) {
    bool ok = produce(got);
    if (ok && maskLine(got, o.maskLine) == want) break;
    if (expired()) {
      print(got);
      return fail("not as expected within the timeout");
    }
    Sleep(100);
  }
  print(got);
  return 0;
}

// Lets the program's thread finish what it is doing: it answers only when back in a message loop.
void settle(HWND w) {
  send(w, WM_NULL, 0, 0);
  Sleep(100);
  send(w, WM_NULL, 0, 0);
}

HWND modalOf(DWORD pid) {
  if (HWND d = findTopLevel(L"#32770", pid)) return d;
  return findTopLevel(NOKARI_HISTORY_CLASS, pid);
}

bool g_clickDone = false;
void CALLBACK clickDone(HWND, UINT, ULONG_PTR, LRESULT) { g_clickDone = true; }

int click(HWND main, HWND button) {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // our queue, for the callback
  if (!SendMessageCallbackW(button, BM_CLICK, 0, 0, clickDone, 0)) return fail("cannot click");
  const DWORD pid = processOf(main);
  while (!g_clickDone) {
    if (modalOf(pid)) return 0;
    if (expired()) return fail("the click did not end within the timeout");
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return 0;
}

std::wstring staticTextOf(HWND dialog) {
  if (HWND t = GetDlgItem(dialog, 0xFFFF)) {
    std::wstring s = windowText(t);
    if (!s.empty()) return s;
  }
  std::wstring found;
  EnumChildWindows(
      dialog,
      [](HWND w, LPARAM lp) -> BOOL {
        auto* out = reinterpret_cast<std::wstring*>(lp);
        if (_wcsicmp(className(w).c_str(), L"Static") != 0) return TRUE;
        *out = windowText(w);
        return out->empty();
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

int answer(HWND main, const std::string& which, const Options& o) {
  int id = which == "yes"      ? IDYES
           : which == "no"     ? IDNO
           : which == "ok"     ? IDOK
           : which == "cancel" ? IDCANCEL
                               : 0;
  if (!id) return fail("answer yes, no, ok or cancel");
  HWND box = waitTopLevel(L"#32770", processOf(main));
  if (!box) return fail("no message box within the timeout");
  Sleep(100);  // the box fills its texts while it opens
  const std::wstring text = staticTextOf(box);
  int rc = printOrExpect(o, [&](std::string& s) {
    s = asLines(text);
    return true;
  });
  HWND button = GetDlgItem(box, id);
  if (!button) return fail("the message box has no " + which + " button");
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  while (IsWindow(box) && IsWindowVisible(box)) {
    if (expired()) return fail("the message box stayed open");
    Sleep(50);
  }
  settle(main);
  return rc;
}

int select(HWND main, const std::wstring& path) {
  HWND tree = controlById(main, nokari::ids::Tree);
  if (!tree) return fail("no tree");
  std::vector<TreeItem> items;
  if (!readTree(tree, items)) return fail("cannot read the tree");
  const TreeItem* target = nullptr;
  for (const TreeItem& it : items)
    if (it.path == path) target = &it;
  if (!target) return fail("no tree node " + utf8(path));
  send(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(target->handle));
  std::optional<RECT> r = itemRect(tree, target->handle);
  if (!r) return fail("cannot find the node on screen");
  const LPARAM at = MAKELPARAM((r->left + r->right) / 2, (r->top + r->bottom) / 2);
  PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(tree, WM_LBUTTONUP, 0, at);
  while (nextItem(tree, nullptr, TVGN_CARET) != target->handle) {
    if (expired()) return fail("the click did not select the node");
    Sleep(20);
  }
  settle(main);
  return 0;
}

int doubleClick(HWND main, const std::wstring& path) {
  if (int rc = select(main, path)) return rc;
  HWND tree = controlById(main, nokari::ids::Tree);
  std::vector<TreeItem> items;
  readTree(tree, items);
  for (const TreeItem& it : items) {
    if (it.path != path) continue;
    std::optional<RECT> r = itemRect(tree, it.handle);
    if (!r) break;
    const LPARAM at = MAKELPARAM((r->left + r->right) / 2, (r->top + r->bottom) / 2);
    PostMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(tree, WM_LBUTTONUP, 0, at);
    settle(main);
    return 0;
  }
  return fail("cannot find the node on screen");
}

int usage();
std::vector<std::wstring> listEntries(HWND list);

// The centre of entry `index` of a list box, or of the space below its last entry.
std::optional<POINT> listPoint(HWND list, int index) {
  RECT r{};
  if (index >= 0) {
    LRESULT got = 0;
    if (!send(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r),
              &got) ||
        got == LB_ERR)
      return std::nullopt;
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  LRESULT count = 0;
  send(list, LB_GETCOUNT, 0, 0, &count);
  RECT client{};
  GetClientRect(list, &client);
  LRESULT got = 0;
  if (count > 0)
    send(list, LB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&r), &got);
  if (r.bottom + 2 >= client.bottom) return std::nullopt;
  return POINT{(client.left + client.right) / 2, (r.bottom + client.bottom) / 2};
}

// Posts a mouse message at a client point, with the real pointer moved there first: a control
// that holds the capture also hears the pointer's own moves, which must not land elsewhere.
void postMouse(HWND w, UINT msg, WPARAM keys, POINT at) {
  POINT screen = at;
  ClientToScreen(w, &screen);
  SetCursorPos(screen.x, screen.y);
  PostMessageW(w, msg, keys, MAKELPARAM(at.x, at.y));
}

int jumpListCommand(HWND main, const std::string& cmd, const std::vector<std::wstring>& rest,
                    const Options& o) {
  HWND list = controlById(main, nokari::ids::JumpList);
  if (!list) return fail("no jump list");
  if (cmd == "jump-list") {
    return printOrExpect(o, [&](std::string& s) {
      LRESULT sel = -1;
      send(list, LB_GETCURSEL, 0, 0, &sel);
      s.clear();
      int i = 0;
      for (const std::wstring& e : listEntries(list))
        s += (i++ == sel ? "* " : "") + utf8(e) + "\n";
      return true;
    });
  }
  if (rest.size() < 2) return usage();
  const int n = _wtoi(rest[1].c_str()) - 1;
  if (cmd == "jump-list-select") {
    LRESULT ignored = 0;
    send(list, LB_SETCURSEL, static_cast<WPARAM>(n), 0, &ignored);
    return 0;
  }
  std::optional<POINT> from = listPoint(list, n);
  if (!from) return fail("no entry " + utf8(rest[1]));
  if (cmd == "jump-list-double-click") {
    postMouse(list, WM_LBUTTONDOWN, MK_LBUTTON, *from);
    postMouse(list, WM_LBUTTONUP, 0, *from);
    postMouse(list, WM_LBUTTONDBLCLK, MK_LBUTTON, *from);
    postMouse(list, WM_LBUTTONUP, 0, *from);
    settle(main);
    return 0;
  }
  if (cmd == "jump-list-enter") {
    SetForegroundWindow(main);
    postMouse(list, WM_LBUTTONDOWN, MK_LBUTTON, *from);
    postMouse(list, WM_LBUTTONUP, 0, *from);
    settle(main);
    if (GetForegroundWindow() != main) return fail("the window is not in front");
    keybd_event(VK_RETURN, static_cast<BYTE>(MapVirtualKeyW(VK_RETURN, 0)), 0, 0);
    keybd_event(VK_RETURN, static_cast<BYTE>(MapVirtualKeyW(VK_RETURN, 0)), KEYEVENTF_KEYUP, 0);
    Sleep(100);
    settle(main);
    return 0;
  }
  if (cmd == "jump-list-drag" && rest.size() == 3) {
    std::optional<POINT> to =
        listPoint(list, rest[2] == L"below" ? -1 : _wtoi(rest[2].c_str()) - 1);
    if (!to) return fail("no place " + utf8(rest[2]));
    postMouse(list, WM_LBUTTONDOWN, MK_LBUTTON, *from);
    for (int step = 1; step <= 4; ++step) {
      const POINT p{from->x + (to->x - from->x) * step / 4, from->y + (to->y - from->y) * step / 4};
      postMouse(list, WM_MOUSEMOVE, MK_LBUTTON, p);
    }
    postMouse(list, WM_LBUTTONUP, 0, *to);
    settle(main);
    return 0;
  }
  return usage();
}

int panelCommand(HWND main, const std::string& cmd, const std::wstring& what) {
  HWND panel = controlById(main, nokari::ids::Panel);
  if (!panel) return fail("no results panel");
  // A check started just before may still be writing the panel.
  size_t at = std::wstring::npos;
  while (!what.empty() && (at = windowText(panel).find(what)) == std::wstring::npos && !expired())
    Sleep(50);
  if (at == std::wstring::npos)
    return fail("the panel does not hold " + utf8(what) +
                "; it begins: " + utf8(windowText(panel).substr(0, 160)));
  LRESULT ignored = 0;
  if (cmd == "panel-select") {
    send(panel, EM_SETSEL, at, at + what.size(), &ignored);
    return 0;
  }
  // Into view first: a click below the last shown line lands on another line.
  send(panel, EM_SETSEL, at, at, &ignored);
  send(panel, EM_SCROLLCARET, 0, 0, &ignored);
  LRESULT pos = 0;
  RECT client{};
  GetClientRect(panel, &client);
  if (!send(panel, EM_POSFROMCHAR, at + what.size() / 2, 0, &pos) || pos == -1 ||
      static_cast<short>(HIWORD(pos)) + 8 > client.bottom)
    return fail("the text is not in view");
  const POINT p{static_cast<LONG>(static_cast<short>(LOWORD(pos))) + 2,
                static_cast<LONG>(static_cast<short>(HIWORD(pos))) + 4};
  postMouse(panel, WM_LBUTTONDOWN, MK_LBUTTON, p);
  postMouse(panel, WM_LBUTTONUP, 0, p);
  postMouse(panel, WM_LBUTTONDBLCLK, MK_LBUTTON, p);
  postMouse(panel, WM_LBUTTONUP, 0, p);
  settle(main);
  return 0;
}

int caretLine(const std::wstring& cls) {
  HWND editor = waitTopLevel(cls, 0);
  if (!editor) return fail("no window of " + utf8(cls));
  HWND edit = FindWindowExW(editor, nullptr, L"Edit", nullptr);
  if (!edit) return fail("no Edit child");
  LRESULT line = 0;
  if (!send(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0, &line)) return fail("no answer");
  print(std::to_string(line + 1) + "\n");
  return 0;
}

std::vector<std::wstring> listEntries(HWND list) {
  std::vector<std::wstring> out;
  LRESULT count = 0;
  send(list, LB_GETCOUNT, 0, 0, &count);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT len = 0;
    send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0, &len);
    std::wstring s(static_cast<size_t>(len < 0 ? 0 : len) + 1, L'\0');
    LRESULT got = 0;
    send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()), &got);
    s.resize(static_cast<size_t>(got < 0 ? 0 : got));
    out.push_back(s);
  }
  return out;
}

int historyOpen(HWND main, int n) {
  HWND dialog = waitTopLevel(NOKARI_HISTORY_CLASS, processOf(main));
  if (!dialog) return fail("no history dialog within the timeout");
  HWND list = controlById(dialog, nokari::ids::HistoryList);
  HWND ok = controlById(dialog, nokari::ids::HistoryOk);
  if (!list || !ok) return fail("the history dialog lacks its list or OK");
  LRESULT count = 0;
  send(list, LB_GETCOUNT, 0, 0, &count);
  if (n < 1 || n > count) return fail("no history entry " + std::to_string(n));
  // What a mouse click on the entry does: select it, and tell the dialog.
  send(list, LB_SETCURSEL, static_cast<WPARAM>(n - 1), 0);
  send(GetParent(list), WM_COMMAND, MAKEWPARAM(nokari::ids::HistoryList, LBN_SELCHANGE),
       reinterpret_cast<LPARAM>(list));
  while (!IsWindowEnabled(ok)) {
    if (expired()) return fail("OK stayed disabled after choosing an entry");
    Sleep(20);
  }
  PostMessageW(ok, BM_CLICK, 0, 0);
  while (IsWindow(dialog) && IsWindowVisible(dialog)) {
    if (expired()) return fail("the history dialog stayed open");
    Sleep(50);
  }
  settle(main);
  return 0;
}

int closeClass(const std::wstring& cls) {
  int closed = 0;
  while (HWND w = findTopLevel(cls, 0)) {
    if (expired()) return fail("a window of " + utf8(cls) + " stayed open");
    PostMessageW(w, WM_CLOSE, 0, 0);
    ++closed;
    for (int i = 0; i < 20 && IsWindow(w) && IsWindowVisible(w); ++i) Sleep(50);
  }
  print(std::to_string(closed) + "\n");
  return 0;
}

int closeMain(HWND main) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processOf(main));
  if (!process) return fail("cannot open the program's process");
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD r = WaitForSingleObject(process, remainingMs());
  CloseHandle(process);
  return r == WAIT_OBJECT_0 ? 0 : fail("the program did not end within the timeout");
}

int usage() {
  std::fputs("usage: nokari-e2e [--timeout SECONDS] COMMAND [ARGS] (see the source's head)\n",
             stderr);
  return 2;
}

int run(std::vector<std::wstring> args) {
  Options o;
  std::vector<std::wstring> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == L"--timeout" && hasValue) {
      g_timeoutMs = static_cast<DWORD>(_wtof(args[++i].c_str()) * 1000);
    } else if (a == L"--expect" && hasValue) {
      o.expectFile = args[++i];
    } else if (a == L"--mask-line" && hasValue) {
      o.maskLine = _wtoi(args[++i].c_str());
    } else {
      rest.push_back(a);
    }
  }
  if (rest.empty()) return usage();
  if (std::optional<int> rc = benchCommand(rest)) return *rc;
  const std::string cmd = utf8(rest[0]);
  const std::string arg = rest.size() > 1 ? utf8(rest[1]) : std::string();

  if (cmd == "wait-class" && rest.size() == 2) {
    HWND w = waitTopLevel(rest[1], 0);
    if (!w) return fail("no window of " + arg + " within the timeout");
    print(utf8(windowText(w)) + "\n");
    return 0;
  }
  if (cmd == "close-class" && rest.size() == 2) return closeClass(rest[1]);
  if (cmd == "hold" && rest.size() == 3) {
    HANDLE f = CreateFileW(rest[1].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return fail("cannot open " + arg);
    print("held\n");
    Sleep(static_cast<DWORD>(_wtoi(rest[2].c_str())) * 1000);
    CloseHandle(f);
    return 0;
  }
  if (cmd == "caret-line" && rest.size() == 2) return caretLine(rest[1]);
  if (cmd == "clipboard") {
    return printOrExpect(o, [&](std::string& out) {
      if (!OpenClipboard(nullptr)) return false;
      std::wstring text;
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
          text = p;
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
      out = asLines(text);
      return true;
    });
  }
  if (cmd == "foreground") {
    return printOrExpect(o, [&](std::string& out) {
      HWND w = GetForegroundWindow();
      if (!w) {
        out = "none\n";
        return true;
      }
      wchar_t title[256] = {};
      GetWindowTextW(w, title, 256);
      out = utf8(className(w)) + "\t" + utf8(title) + "\t" + (IsIconic(w) ? "minimized" : "shown") +
            "\n";
      return true;
    });
  }
  if (cmd == "pointer" && rest.size() == 3)
    return SetCursorPos(_wtoi(rest[1].c_str()), _wtoi(rest[2].c_str())) ? 0 : fail("cannot move");

  HWND main = waitMain();
  if (!main) return fail("no Nokari window within the timeout");

  if (cmd == "wait") {
    settle(main);
    return 0;
  }
  if (cmd == "tree") {
    HWND tree = controlById(main, nokari::ids::Tree);
    if (!tree) return fail("no tree");
    return printOrExpect(o, [&](std::string& s) {
      std::vector<TreeItem> items;
      if (!readTree(tree, items)) return false;
      s = treeLines(items);
      return true;
    });
  }
  if (cmd == "text" && rest.size() == 2) {
    HWND c = controlById(main, controlId(arg));
    if (!c) return fail("no control " + arg);
    return printOrExpect(o, [&](std::string& s) {
      s = asLines(windowText(c));
      return true;
    });
  }
  if (cmd == "selected") {
    HWND tree = controlById(main, nokari::ids::Tree);
    if (!tree) return fail("no tree");
    std::optional<std::wstring> path = selectedPath(tree);
    if (!path) return fail("cannot read the tree");
    return printOrExpect(o, [&](std::string& s) {
      path = selectedPath(tree);
      s = path ? utf8(*path) + "\n" : std::string();
      return path.has_value();
    });
  }
  if (cmd == "click" && rest.size() == 2) {
    HWND c = controlById(main, controlId(arg));
    if (!c) return fail("no control " + arg);
    if (!IsWindowEnabled(c)) return fail(arg + " is disabled");
    return click(main, c);
  }
  if (cmd == "select" && rest.size() == 2) return select(main, rest[1]);
  if (cmd == "double-click" && rest.size() == 2) return doubleClick(main, rest[1]);
  if (cmd == "menu" && rest.size() == 2) {
    const int item = controlId(arg);
    if (!item) return fail("no menu item " + arg);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(item, 0), 0);
    settle(main);
    return 0;
  }
  if (cmd.rfind("jump-list", 0) == 0) return jumpListCommand(main, cmd, rest, o);
  if ((cmd == "panel-double-click" || cmd == "panel-select") && rest.size() == 2)
    return panelCommand(main, cmd, rest[1]);
  if (cmd == "panel-selection") {
    HWND panel = controlById(main, nokari::ids::Panel);
    DWORD from = 0, to = 0;
    if (!panel ||
        !SendMessageTimeoutW(panel, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, remainingMs(), nullptr))
      return fail("no results panel");
    const LRESULT both = SendMessageW(panel, EM_GETSEL, 0, 0);
    from = LOWORD(both);
    to = HIWORD(both);
    const LRESULT line = SendMessageW(panel, EM_LINEFROMCHAR, from, 0);
    const LRESULT lineStart = SendMessageW(panel, EM_LINEINDEX, line, 0);
    print(std::to_string(line + 1) + ":" + std::to_string(from - lineStart) + "+" +
          std::to_string(to - from) + "\n");
    return 0;
  }
  if (cmd == "dialog") {
    HWND box = waitTopLevel(L"#32770", processOf(main));
    if (!box) return fail("no message box within the timeout");
    return printOrExpect(o, [&](std::string& s) {
      s = asLines(staticTextOf(box));
      return true;
    });
  }
  if (cmd == "answer" && rest.size() == 2) return answer(main, arg, o);
  if (cmd == "history") {
    HWND dialog = waitTopLevel(NOKARI_HISTORY_CLASS, processOf(main));
    if (!dialog) return fail("no history dialog within the timeout");
    HWND list = controlById(dialog, nokari::ids::HistoryList);
    if (!list) return fail("the history dialog has no list");
    return printOrExpect(o, [&](std::string& s) {
      s.clear();
      for (const std::wstring& e : listEntries(list)) s += utf8(e) + "\n";
      return true;
    });
  }
  if (cmd == "history-open" && rest.size() == 2) return historyOpen(main, std::atoi(arg.c_str()));
  if (cmd == "close") return closeMain(main);
  return usage();
}

// A driver that dies says how, for the step that reads its output.
LONG WINAPI reportCrash(EXCEPTION_POINTERS* e) {
  char line[96];
  std::snprintf(line, sizeof line, "nokari-e2e: the driver crashed: exception 0x%08lx at %p\n",
                static_cast<unsigned long>(e->ExceptionRecord->ExceptionCode),
                e->ExceptionRecord->ExceptionAddress);
  std::fwrite(line, 1, std::strlen(line), stderr);
  std::fflush(stderr);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main() {
  SetUnhandledExceptionFilter(reportCrash);
  g_start = GetTickCount();
  // The suite's mark that the driver started: one that Wine ends before this did nothing.
  if (const wchar_t* mark = _wgetenv(L"NOKARI_E2E_STARTED"))
    if (FILE* f = _wfopen(mark, L"w")) std::fclose(f);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return run(std::move(args));
}
