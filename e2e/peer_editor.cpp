// nokari-peer: a stand-in for the editors Nokari jumps into (Notepad++, Mery, TeraPad, VS Code),
// for the end-to-end suite. It shows a main window of the editor's class with the given title and
// answers the keys and clicks the way the editor does. Every jump it receives becomes one line of
// the record file, written and closed at once so that a script can poll it:
//
//   nokari-peer.exe notepadpp|mery|terapad|vscode TITLE RECORD_FILE
//
//   goto N     the go-to-line window confirmed with N in its field, or VS Code's go-to-line
//              input (Alt+G) ended by Enter after the digits N
//   offset N   Notepad++'s window confirmed while its "offset" choice was still selected
//   typed KEY  a key the editor would have taken as text or as a command of its own: any key
//              pressed in the main window other than the go-to-line chord, and in VS Code's
//              go-to-line input anything but a digit, or a digit while the input method is on
//
// Exit status: 0 after the window closed, 2 on a usage error or a record file it cannot write.
// clang-format off
#include <windows.h>
#include <imm.h>
#include <shellapi.h>
// clang-format on

#include <cstdio>
#include <string>

namespace {

struct Editor {
  const wchar_t* name;        // on the command line
  const wchar_t* mainClass;   // the main window's class
  UINT chordKey;              // pressed with Ctrl, opens the go-to-line window; 0: VS Code
  const wchar_t* gotoClass;   // the go-to-line window's class
  const wchar_t* gotoTitle;   // and its title
  const wchar_t* fieldClass;  // its input field
  const wchar_t* confirm;     // the button that jumps
  bool lineChoice;            // Notepad++: "line" and "offset" choices, "offset" selected
};

const Editor kEditors[] = {
    {L"notepadpp", L"Notepad++", 'G', L"NokariPeerGoto", L"指定位置へジャンプ...", L"Edit",
     L"ジャンプ", true},
    {L"mery", L"TChildForm", 'G', L"TGoToLineForm", L"指定行へ移動", L"TSpinEditEx", L"OK", false},
    {L"terapad", L"TTeraPadMainForm", 'J', L"TFormJump", L"指定行へジャンプ", L"TComboBox", L"OK",
     false},
    {L"vscode", L"Chrome_WidgetWin_1", 0, nullptr, nullptr, nullptr, nullptr, false},
};

enum : int { kFieldId = 100, kConfirmId, kLineId, kOffsetId };

const Editor* g_editor = nullptr;
std::wstring g_recordFile;
HWND g_main = nullptr;
HWND g_goto = nullptr;
bool g_quickInput = false;  // VS Code: Alt+G was pressed, the line's digits follow
std::wstring g_digits;

// A line that cannot be written is simply missing: the script waiting for it fails.
void record(const std::wstring& line) {
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

bool down(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

bool isModifier(WPARAM vk) {
  return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || (vk >= VK_LSHIFT && vk <= VK_RMENU);
}

std::wstring keyName(WPARAM vk) {
  std::wstring name = down(VK_CONTROL) ? L"Ctrl+" : L"";
  if (down(VK_MENU)) name += L"Alt+";
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return name + wchar_t(vk);
  if (vk == VK_RETURN) return name + L"Enter";
  wchar_t hex[8];
  std::swprintf(hex, 8, L"0x%02X", static_cast<unsigned>(vk));
  return name + hex;
}

std::wstring windowText(HWND w) {
  std::wstring s(static_cast<size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
  s.resize(static_cast<size_t>(GetWindowTextW(w, s.data(), static_cast<int>(s.size()))));
  return s;
}

HWND addChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int y) {
  return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 16, y, 200, 24,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

// The editor's go-to-line window, owned by the main window as the editors' dialogs are.
void openGoto() {
  if (g_goto) {
    SetForegroundWindow(g_goto);
    return;
  }
  g_goto = CreateWindowExW(WS_EX_DLGMODALFRAME, g_editor->gotoClass, g_editor->gotoTitle,
                           WS_POPUP | WS_CAPTION | WS_SYSMENU, 760, 420, 240, 200, g_main, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (!g_goto) return;
  int y = 12;
  if (g_editor->lineChoice) {
    addChild(g_goto, L"BUTTON", L"行(&L)", BS_AUTORADIOBUTTON | WS_GROUP, kLineId, y);
    HWND offset =
        addChild(g_goto, L"BUTTON", L"オフセット(&O)", BS_AUTORADIOBUTTON, kOffsetId, y += 28);
    SendMessageW(offset, BM_SETCHECK, BST_CHECKED, 0);
    y += 28;
  }
  const bool edit = lstrcmpiW(g_editor->fieldClass, L"Edit") == 0;
  HWND field =
      addChild(g_goto, g_editor->fieldClass, L"", WS_BORDER | (edit ? ES_NUMBER : 0), kFieldId, y);
  addChild(g_goto, L"BUTTON", g_editor->confirm, BS_DEFPUSHBUTTON | WS_GROUP, kConfirmId, y + 40);
  ShowWindow(g_goto, SW_SHOW);
  SetFocus(field);
}

// The confirm button: the line the field holds, as this editor understands it.
void confirmGoto(HWND dialog) {
  const std::wstring line = windowText(GetDlgItem(dialog, kFieldId));
  const bool offset = g_editor->lineChoice && IsDlgButtonChecked(dialog, kLineId) != BST_CHECKED;
  record((offset ? L"offset " : L"goto ") + line);
  // Not destroyed here: the button that was clicked is still in its own handler.
  PostMessageW(dialog, WM_CLOSE, 0, 0);
}

// VS Code: Alt+G opens the go-to-line input; digits then Enter jump. A digit typed while the
// input method is on would go into its composition instead of the input.
// key: a virtual key, or a posted character.
void vsCodeKey(WPARAM vk) {
  if (!g_quickInput) {
    if (vk == 'G' && down(VK_MENU) && !down(VK_CONTROL)) {
      g_quickInput = true;
      g_digits.clear();
    } else {
      record(L"typed " + keyName(vk));
    }
    return;
  }
  bool imeOn = false;
  if (HIMC imc = ImmGetContext(g_main)) {
    imeOn = ImmGetOpenStatus(imc);
    ImmReleaseContext(g_main, imc);
  }
  if (vk >= '0' && vk <= '9' && !down(VK_CONTROL) && !down(VK_MENU) && !imeOn) {
    g_digits += wchar_t(vk);
  } else if (vk == VK_RETURN && !imeOn) {
    record(L"goto " + g_digits);
    g_quickInput = false;
  } else {
    record(L"typed " + keyName(vk) + (imeOn ? L" (input method on)" : L""));
  }
}

// Keyboard input for the main window, whichever of its windows has the focus: the editor's
// own keys. True when the message is the main window's.
bool mainWindowKey(const MSG& m) {
  if (m.message < WM_KEYFIRST || m.message > WM_KEYLAST) return false;
  if (!m.hwnd || GetAncestor(m.hwnd, GA_ROOT) != g_main) return false;
  // Without a focus the keys arrive as WM_SYSKEYDOWN; both are the same key here.
  const bool keyDown = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
  // Characters come only when posted: digits and CR equal their keys' codes.
  if (!keyDown && m.message != WM_CHAR) return true;
  if (keyDown && isModifier(m.wParam)) return true;
  if (!g_editor->chordKey) {
    vsCodeKey(m.wParam);
  } else if (m.wParam == g_editor->chordKey && down(VK_CONTROL) && !down(VK_MENU)) {
    openGoto();
  } else {
    record(L"typed " + keyName(m.wParam));
  }
  return true;
}

LRESULT CALLBACK gotoProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
    if (LOWORD(wp) == kConfirmId) confirmGoto(w);
    // The choices are one group whatever the button class makes of a posted click.
    if (LOWORD(wp) == kLineId || LOWORD(wp) == kOffsetId)
      CheckRadioButton(w, kLineId, kOffsetId, LOWORD(wp));
    return 0;
  }
  if (msg == WM_DESTROY && w == g_goto) g_goto = nullptr;
  return DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK mainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(w, msg, wp, lp);
}

bool registerClass(const wchar_t* name, WNDPROC proc) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return RegisterClassW(&wc) != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv && argc == 4)
    for (const Editor& e : kEditors)
      if (lstrcmpW(argv[1], e.name) == 0) g_editor = &e;
  if (!g_editor) return 2;
  const std::wstring title = argv[2];
  g_recordFile = argv[3];
  LocalFree(argv);
  // The file exists from the start, and a path it cannot write ends the program at once.
  FILE* f = _wfopen(g_recordFile.c_str(), L"ab");
  if (!f) return 2;
  std::fclose(f);

  if (!registerClass(g_editor->mainClass, mainProc)) return 2;
  if (g_editor->gotoClass && !registerClass(g_editor->gotoClass, gotoProc)) return 2;
  // Fields of the editors' own classes keep their text as any window does.
  if (g_editor->fieldClass && lstrcmpiW(g_editor->fieldClass, L"Edit") != 0 &&
      !registerClass(g_editor->fieldClass, DefWindowProcW))
    return 2;

  g_main = CreateWindowExW(0, g_editor->mainClass, title.c_str(), WS_OVERLAPPEDWINDOW, 700, 80, 520,
                           320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!g_main) return 2;
  ShowWindow(g_main, SW_SHOWNORMAL);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (mainWindowKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
