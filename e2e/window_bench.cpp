#include "window_bench.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdio>
#include <string>

#include "deadline.h"
#include "gui/control_ids.h"

namespace e2e {

namespace {

// Milliseconds from a high-resolution clock.
double nowMs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

int fail(const char* why) {
  std::fprintf(stderr, "nokari-e2e: %s\n", why);
  return 1;
}

void printMs(double ms) {
  std::printf("%.0f\n", ms);
  std::fflush(stdout);
}

// The folder part of a path, without its last separator.
std::wstring folderOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring(L".") : path.substr(0, cut);
}

// A command line with every argument quoted.
std::wstring commandLine(const std::vector<std::wstring>& args) {
  std::wstring line;
  for (const std::wstring& a : args) {
    if (!line.empty()) line += L' ';
    line += L'"' + a + L'"';
  }
  return line;
}

// The null device as an inheritable handle; nullptr when it cannot be opened.
HANDLE openNul() {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &sa, OPEN_EXISTING, 0, nullptr);
  return nul == INVALID_HANDLE_VALUE ? nullptr : nul;
}

// Starts the program in its own folder; with `out`, its standard handles are that.
HANDLE startProcess(const std::vector<std::wstring>& args, HANDLE out) {
  std::wstring line = commandLine(args);
  const std::wstring folder = folderOf(args[0]);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (out) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = out;
    si.hStdOutput = out;
    si.hStdError = out;
  }
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(args[0].c_str(), line.data(), nullptr, nullptr, out != nullptr, 0, nullptr,
                      folder.c_str(), &si, &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

HWND mainOf(DWORD pid) {
  for (HWND w = FindWindowExW(nullptr, nullptr, NOKARI_MAIN_CLASS, nullptr); w;
       w = FindWindowExW(nullptr, w, NOKARI_MAIN_CLASS, nullptr))
    if (IsWindowVisible(w) && processOf(w) == pid) return w;
  return nullptr;
}

// Starts the program and waits until its window stands shown and painted with the tree
// filled, then until its start sequence (the variable check after the tree) is over; prints the
// time to the painted tree, to the window shown, and to the start's end.
int benchStart(const std::wstring& exe) {
  // Not our output: whoever reads it would wait for the program to end.
  HANDLE nul = openNul();
  if (!nul) return fail("cannot open NUL");
  const double t0 = nowMs();
  HANDLE process = startProcess({exe}, nul);
  CloseHandle(nul);
  if (!process) return fail("cannot start the program");
  const DWORD pid = GetProcessId(process);
  CloseHandle(process);
  HWND main = nullptr;
  while (!(main = mainOf(pid))) {
    if (expired()) return fail("no window within the timeout");
    Sleep(2);
  }
  const double shown = nowMs();
  auto stage = [&] { return reinterpret_cast<INT_PTR>(GetPropW(main, NOKARI_STARTED_PROP)); };
  while (stage() < nokari::ids::kStartShown) {
    if (expired()) return fail("the window was not painted within the timeout");
    Sleep(2);
  }
  const double filled = nowMs();
  while (stage() < nokari::ids::kStartOver) {
    if (expired()) return fail("the start did not end within the timeout");
    Sleep(5);
  }
  const double over = nowMs();
  HWND tree = controlById(main, nokari::ids::Tree);
  LRESULT count = 0;
  if (!tree || !send(tree, TVM_GETCOUNT, 0, 0, &count))
    return fail("the window did not answer within the timeout");
  if (count <= 0) return fail("the tree is empty");
  printMs(filled - t0);
  printMs(shown - t0);
  printMs(over - t0);
  return 0;
}

bool g_done = false;
void CALLBACK clickDone(HWND, UINT, ULONG_PTR, LRESULT) { g_done = true; }

// Clicks a button of the running window and waits until its handler has filled the panel.
int benchClick(int id) {
  HWND main = FindWindowW(NOKARI_MAIN_CLASS, nullptr);
  HWND button = main ? controlById(main, id) : nullptr;
  HWND panel = main ? controlById(main, nokari::ids::Panel) : nullptr;
  if (!button || !panel) return fail("no window with that button");
  // The window must be idle before the clock starts.
  if (!send(main, WM_NULL, 0, 0)) return fail("the window does not answer");
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // our queue, for the callback
  g_done = false;
  const double t0 = nowMs();
  if (!SendMessageCallbackW(button, BM_CLICK, 0, 0, clickDone, 0)) return fail("cannot click");
  while (!g_done) {
    if (expired()) return fail("the click did not end within the timeout");
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  const double t1 = nowMs();
  LRESULT length = 0;
  if (!send(panel, WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0)
    return fail("the panel stayed empty");
  printMs(t1 - t0);
  return 0;
}

// Runs a program to its end, its output thrown away.
int benchRun(const std::vector<std::wstring>& args) {
  HANDLE nul = openNul();
  if (!nul) return fail("cannot open NUL");
  const double t0 = nowMs();
  HANDLE process = startProcess(args, nul);
  if (!process) {
    CloseHandle(nul);
    return fail("cannot start the program");
  }
  const DWORD waited = WaitForSingleObject(process, remainingMs());
  const double t1 = nowMs();
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  CloseHandle(nul);
  if (waited != WAIT_OBJECT_0) return fail("the program did not end within the timeout");
  // Status 1 is an unbalanced file's --parens, still a full report.
  if (code > 1) return fail("the program failed");
  printMs(t1 - t0);
  return 0;
}

}  // namespace

std::optional<int> benchCommand(const std::vector<std::wstring>& rest) {
  if (rest.empty()) return std::nullopt;
  const std::wstring& cmd = rest[0];
  if (cmd == L"bench-start" && rest.size() == 2) return benchStart(rest[1]);
  if (cmd == L"bench-click" && rest.size() == 2) return benchClick(_wtoi(rest[1].c_str()));
  if (cmd == L"bench-run" && rest.size() >= 2)
    return benchRun(std::vector<std::wstring>(rest.begin() + 1, rest.end()));
  return std::nullopt;
}

}  // namespace e2e
