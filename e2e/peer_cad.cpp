// nokari-cad-peer: a stand-in for the CAD applications Nokari sends command texts to (AutoCAD,
// BricsCAD, IJCAD, ARES, ZWCAD), for the end-to-end suite. It shows a main window of the CAD's
// class with the given title, and the child windows where that CAD's command line takes typed
// characters. Every delivery becomes one line of the record file, written and closed at once so
// that a script can poll it:
//
//   nokari-cad-peer.exe KIND TITLE RECORD_FILE [--disabled] [--minimized] [--hang-after-start]
//
//   KIND    main window class                          how a command reaches it
//   acad           AfxMDIFrame140u                     WM_COPYDATA to the main window
//   acad-afx       Afx:00400000:8:00010003:00000000:00000000   (an older AutoCAD's class)
//   bricscad       BricscadMainWindow                  WM_COPYDATA
//   ijcad          Afx:00400000:b:00010003:00000006:00000000   WM_CHAR to the command line's
//                                                      input field (see below)
//   ijcad-intelli  the same class, plain window        WM_COPYDATA
//   ares           Qt5QWindowIcon                      WM_CHAR to the input field, Escape and
//                                                      Enter as WM_KEYDOWN to the main window
//   zwcad          Afx:00400000:b:00010003:00000006:00010011   WM_COPYDATA
//
//   ijcad's windows:  main > dock bar > "コマンド ライン" (an Afx: class) > history, input bar;
//                     the input bar's first child is the field
//   ares's windows:   main > command dock > history, field, options
//   Each of them has siblings in the places a wrong walk would land on; the field is the only
//   window whose characters count as typed.
//
// Record lines (Escape shown as <ESC>, CR as <CR>, LF as <LF>, NUL as <NUL>, other control
// characters as <0xNN>):
//
//   copydata N TEXT   WM_COPYDATA with dwData N and TEXT up to its first NUL; followed by
//                     " [no NUL]" when the data holds none, " [cbData C for U units]" when the
//                     size is not that of the text and one NUL, " [odd cbData C]"
//   typed TEXT        characters WM_CHAR brought to the field, one line up to and including a CR,
//                     or up to a key press, another delivery or a pause of 0.4 s
//   key ESC|RETURN|0xNN   WM_KEYDOWN to the main window
//   Any of these that reach another window of the stand-in end in " to NAME" (its part's name):
//   "char X to history", "copydata 1 ... to field".
//
// Options: --disabled keeps the main window disabled, as while a CAD shows a modal dialog;
// --minimized shows it minimised without activating it; --hang-after-start stops answering
// messages half a second after the window is shown, for six seconds (a sender that waits one
// second for each message finds it hung), then answers again.
//
// Exit status: 0 after the window closed, 2 on a usage error or a record file it cannot write.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum class Layout { Plain, CommandLine, InputField };

struct Kind {
  const wchar_t* name;
  const wchar_t* mainClass;
  Layout layout;
};

const Kind kKinds[] = {
    {L"acad", L"AfxMDIFrame140u", Layout::Plain},
    {L"acad-afx", L"Afx:00400000:8:00010003:00000000:00000000", Layout::Plain},
    {L"bricscad", L"BricscadMainWindow", Layout::Plain},
    {L"ijcad", L"Afx:00400000:b:00010003:00000006:00000000", Layout::CommandLine},
    {L"ijcad-intelli", L"Afx:00400000:b:00010003:00000006:00000000", Layout::Plain},
    {L"ares", L"Qt5QWindowIcon", Layout::InputField},
    {L"zwcad", L"Afx:00400000:b:00010003:00000006:00010011", Layout::Plain},
};

constexpr UINT_PTR kFlushTimer = 1;
constexpr UINT kFlushAfterMs = 400;

std::wstring g_recordFile;
HWND g_main = nullptr;
HWND g_field = nullptr;
std::wstring g_typed;  // characters the field took since the last line

struct Part {
  HWND wnd;
  std::wstring name;
};
std::vector<Part> g_parts;  // every child window, by name

// A line that cannot be written is simply missing: the script waiting for it fails.
void writeLine(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                      nullptr, nullptr);
  if (FILE* f = _wfopen(g_recordFile.c_str(), L"ab")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

void flushTyped() {
  if (g_main) KillTimer(g_main, kFlushTimer);
  if (g_typed.empty()) return;
  writeLine(L"typed " + g_typed);
  g_typed.clear();
}

// Every other record line ends the typed one first, so the lines keep the order of arrival.
void record(const std::wstring& line) {
  flushTyped();
  writeLine(line);
}

std::wstring shown(std::wstring_view text) {
  std::wstring s;
  for (wchar_t c : text) {
    if (c == 0x1B) {
      s += L"<ESC>";
    } else if (c == L'\r') {
      s += L"<CR>";
    } else if (c == L'\n') {
      s += L"<LF>";
    } else if (c == 0) {
      s += L"<NUL>";
    } else if (c < 0x20) {
      wchar_t hex[8];
      std::swprintf(hex, 8, L"<0x%02X>", static_cast<unsigned>(c));
      s += hex;
    } else {
      s += c;
    }
  }
  return s;
}

std::wstring partSuffix(HWND w) {
  if (w == g_main) return L"";
  for (const Part& p : g_parts)
    if (p.wnd == w) return L" to " + p.name;
  return L" to an unknown window";
}

std::wstring copyDataLine(const COPYDATASTRUCT& cds) {
  const size_t units = cds.cbData / 2;
  const auto* data = static_cast<const wchar_t*>(cds.lpData);
  size_t len = 0;
  while (data && len < units && data[len] != 0) ++len;
  std::wstring line = L"copydata " + std::to_wstring(cds.dwData) + L" " +
                      shown(std::wstring_view(data ? data : L"", len));
  if (cds.cbData % 2)
    line += L" [odd cbData " + std::to_wstring(cds.cbData) + L"]";
  else if (len == units)
    line += L" [no NUL]";
  else if (cds.cbData != (len + 1) * 2)
    line +=
        L" [cbData " + std::to_wstring(cds.cbData) + L" for " + std::to_wstring(len) + L" units]";
  return line;
}

std::wstring keyName(WPARAM vk) {
  if (vk == VK_ESCAPE) return L"ESC";
  if (vk == VK_RETURN) return L"RETURN";
  wchar_t hex[8];
  std::swprintf(hex, 8, L"0x%02X", static_cast<unsigned>(vk));
  return hex;
}

LRESULT CALLBACK windowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COPYDATA:
      record(copyDataLine(*reinterpret_cast<const COPYDATASTRUCT*>(lp)) + partSuffix(w));
      return TRUE;
    case WM_CHAR:
      if (w != g_field) {
        record(L"char " + shown(std::wstring(1, static_cast<wchar_t>(wp))) + partSuffix(w));
        return 0;
      }
      g_typed += shown(std::wstring(1, static_cast<wchar_t>(wp)));
      if (wp == L'\r')
        flushTyped();
      else
        SetTimer(g_main, kFlushTimer, kFlushAfterMs, nullptr);
      return 0;
    case WM_KEYDOWN:
      record(L"key " + keyName(wp) + partSuffix(w));
      return 0;
    case WM_TIMER:
      if (w == g_main && wp == kFlushTimer) {
        flushTyped();
        return 0;
      }
      break;
    case WM_DESTROY:
      if (w == g_main) {
        flushTyped();
        PostQuitMessage(0);
      }
      break;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

bool registerClass(const wchar_t* name) {
  WNDCLASSW existing{};
  if (GetClassInfoW(GetModuleHandleW(nullptr), name, &existing)) return true;
  WNDCLASSW wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = name;
  return RegisterClassW(&wc) != 0;
}

// A child window, placed after its earlier siblings as child windows are.
HWND part(HWND parent, const wchar_t* cls, const wchar_t* title, const wchar_t* name, int y) {
  if (!registerClass(cls)) return nullptr;
  HWND w = CreateWindowExW(0, cls, title, WS_CHILD | WS_VISIBLE | WS_BORDER, 4, y, 480, 22, parent,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  if (w) g_parts.push_back({w, name});
  return w;
}

// IJCAD: the command line is a docked window somewhere below the main window; in it, the first
// child (the history) is followed by the input bar, whose first child is the field.
bool buildCommandLine() {
  part(g_main, L"AfxMDIClient140u", L"", L"drawing area", 4);
  HWND dock = part(g_main, L"AfxControlBar140u", L"", L"dock bar", 180);
  if (!dock) return false;
  part(dock, L"AfxWnd140u", L"プロパティ", L"properties", 0);
  HWND commandLine = part(dock, L"Afx:00400000:0:00010003:00000010:00000000", L"コマンド ライン",
                          L"command line", 24);
  if (!commandLine) return false;
  HWND history = part(commandLine, L"AfxWnd140u", L"", L"history", 0);
  part(history, L"AfxFrameOrView140u", L"", L"history text", 0);
  HWND inputBar = part(commandLine, L"AfxWnd140u", L"", L"input bar", 24);
  if (!history || !inputBar) return false;
  g_field = part(inputBar, L"AfxWnd140u", L"", L"field", 0);
  part(inputBar, L"AfxWnd140u", L"", L"prompt", 24);
  part(commandLine, L"AfxWnd140u", L"", L"options", 48);
  return g_field != nullptr;
}

// ARES: the main window's first child holds the command line: the history first, then the field.
bool buildInputField() {
  HWND dock = part(g_main, L"Qt5QWindowIcon", L"", L"command dock", 180);
  if (!dock) return false;
  HWND history = part(dock, L"Qt5QWindowIcon", L"", L"history", 0);
  g_field = part(dock, L"Qt5QWindowIcon", L"", L"field", 24);
  part(dock, L"Qt5QWindowIcon", L"", L"options", 48);
  part(g_main, L"Qt5QWindowIcon", L"", L"drawing area", 4);
  return history && g_field;
}

// What a walk from the main window by first child and next sibling reaches, for the log: Wine
// and Windows place a new child window after its siblings, and the stand-in relies on it.
void logStructure(Layout layout) {
  HWND found = nullptr;
  if (layout == Layout::InputField) {
    HWND first = GetWindow(g_main, GW_CHILD);
    HWND inner = first ? GetWindow(first, GW_CHILD) : nullptr;
    found = inner ? GetWindow(inner, GW_HWNDNEXT) : nullptr;
  } else if (layout == Layout::CommandLine) {
    HWND commandLine = nullptr;
    for (const Part& p : g_parts)
      if (p.name == L"command line") commandLine = p.wnd;
    HWND first = GetWindow(commandLine, GW_CHILD);
    HWND next = first ? GetWindow(first, GW_HWNDNEXT) : nullptr;
    found = next ? GetWindow(next, GW_CHILD) : nullptr;
  } else {
    return;
  }
  std::fprintf(stderr, "nokari-cad-peer: the walk to the field reaches %s\n",
               found == g_field ? "the field" : "another window");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const Kind* kind = nullptr;
  bool disabled = false, minimized = false, hang = false, usageOk = argv && argc >= 4;
  if (usageOk) {
    for (const Kind& k : kKinds)
      if (lstrcmpW(argv[1], k.name) == 0) kind = &k;
    for (int i = 4; i < argc; ++i) {
      if (lstrcmpW(argv[i], L"--disabled") == 0)
        disabled = true;
      else if (lstrcmpW(argv[i], L"--minimized") == 0)
        minimized = true;
      else if (lstrcmpW(argv[i], L"--hang-after-start") == 0)
        hang = true;
      else
        usageOk = false;
    }
  }
  if (!usageOk || !kind) return 2;
  const std::wstring title = argv[2];
  g_recordFile = argv[3];
  LocalFree(argv);
  // The file exists from the start, and a path it cannot write ends the program at once.
  FILE* f = _wfopen(g_recordFile.c_str(), L"ab");
  if (!f) return 2;
  std::fclose(f);

  if (!registerClass(kind->mainClass)) return 2;
  g_main = CreateWindowExW(0, kind->mainClass, title.c_str(), WS_OVERLAPPEDWINDOW, 700, 80, 520,
                           320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!g_main) return 2;
  if (kind->layout == Layout::CommandLine && !buildCommandLine()) return 2;
  if (kind->layout == Layout::InputField && !buildInputField()) return 2;
  logStructure(kind->layout);
  if (disabled) EnableWindow(g_main, FALSE);
  ShowWindow(g_main, minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  if (minimized)
    std::fprintf(stderr, "nokari-cad-peer: shown %s\n",
                 IsIconic(g_main) ? "minimised" : "restored");

  MSG msg;
  if (hang) {
    // Long enough for the window to be drawn and seen, then the thread is busy elsewhere.
    const DWORD until = GetTickCount() + 500;
    while (GetTickCount() < until) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(20);
    }
    Sleep(6000);
  }
  // No TranslateMessage: a key pressed in the main window is recorded as that key only.
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
