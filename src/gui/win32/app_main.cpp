// Program start: OLE and the common controls, the main window and its controller, the
// history dialog, the message loop.
// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
// clang-format on

#include <string>

#include "gui/main_controller.h"
#include "gui/win32/dialogs_win32.h"
#include "gui/win32/history_dialog.h"
#include "gui/win32/main_window.h"
#include "gui/win32/message_loop.h"
#include "platform/files.h"
#include "platform/win32/system_services.h"
#include "platform/win32/wide.h"
#include "source/decode.h"

namespace {

// OLE on this (the user interface) thread: the shell's file dialog expects a single-threaded
// apartment.
class OleSession {
 public:
  OleSession() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() {
    if (ok_) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool ok_;
};

nokari::Text exeFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return u"Nokari.exe";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return nokari::fileNamePart(nokari::fromWide(path));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int cmdShow) {
  using namespace nokari;
  OleSession ole;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                           ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES |
                                           ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  const auto files = makeSystemFiles();
  const auto ansi = makeCodePage(0);
  const auto shell = win::makeSystemShell();
  const auto clock = win::makeSystemClock();
  const auto desktop = win::makeSystemDesktop();
  const auto clipboard = win::makeSystemClipboard();
  const auto automation = win::makeSystemAutomation();
  win::Win32MainView view(inst);
  win::WindowDialogs dialogs(view);
  const Services services{*files,   *ansi,      *shell,  *clock,
                          *desktop, *clipboard, dialogs, *automation};
  MainController controller(view, services, programFilesIn(programFolder(), exeFileName()));
  if (!view.create()) {
    MessageBoxW(nullptr, L"ウィンドウを作成できません.", L"Nokari", MB_OK | MB_ICONERROR);
    return 1;
  }
  view.bindController(&controller);
  view.start(cmdShow);

  win::HistoryDialog history(inst);
  if (view.hwnd() && history.create(view.hwnd())) view.bindHistoryDialog(&history);

  const int code = win::runMainLoop();
  // A quit from elsewhere still runs the exit sequence while the controller is alive.
  view.close();
  view.bindHistoryDialog(nullptr);
  view.bindController(nullptr);
  return code;
}
