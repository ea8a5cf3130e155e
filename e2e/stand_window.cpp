// nokari-window: plain windows and keys for the end-to-end suite, beside the driver.
//
//   show CLASS TITLE LEFT TOP WIDTH HEIGHT [--popup] [--minimized]
//                        shows a top-level window of CLASS (a taskbar, a CAD, a help browser)
//                        until it is closed
//   rect CLASS           the first top-level window of CLASS as "LEFT TOP WIDTH HEIGHT"
//   keys CLASS KEY...    brings the first window of CLASS to the front, then presses each KEY
//                        (ctrl+s, ctrl+shift+s, s, f1) as synthesized keyboard input
//   foreground           the class of the foreground window
//
// Exit status: 0 done, 1 failed, 2 usage error.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
  return s;
}

int fail(const char* why) {
  std::fprintf(stderr, "nokari-window: %s\n", why);
  return 1;
}

LRESULT CALLBACK standProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(wnd, msg, wp, lp);
}

int show(const std::vector<std::wstring>& a) {
  if (a.size() < 7) return 2;
  bool popup = false, minimized = false;
  for (size_t i = 7; i < a.size(); ++i) {
    popup = popup || a[i] == L"--popup";
    minimized = minimized || a[i] == L"--minimized";
  }
  WNDCLASSW wc{};
  wc.lpfnWndProc = &standProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = a[1].c_str();
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  if (!RegisterClassW(&wc)) return fail("cannot register the class");
  const DWORD style = popup ? WS_POPUP : WS_OVERLAPPEDWINDOW;
  HWND wnd = CreateWindowExW(0, a[1].c_str(), a[2].c_str(), style, _wtoi(a[3].c_str()),
                             _wtoi(a[4].c_str()), _wtoi(a[5].c_str()), _wtoi(a[6].c_str()), nullptr,
                             nullptr, wc.hInstance, nullptr);
  if (!wnd) return fail("cannot create the window");
  ShowWindow(wnd, minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}

void key(WORD vk, bool up) {
  keybd_event(static_cast<BYTE>(vk), static_cast<BYTE>(MapVirtualKeyW(vk, 0)),
              up ? KEYEVENTF_KEYUP : 0, 0);
}

int keys(const std::vector<std::wstring>& a) {
  if (a.size() < 3) return 2;
  HWND wnd = FindWindowW(a[1].c_str(), nullptr);
  if (!wnd) return fail("no such window");
  if (IsIconic(wnd)) ShowWindow(wnd, SW_RESTORE);
  for (int i = 0; i < 40 && GetForegroundWindow() != wnd; ++i) {
    SetForegroundWindow(wnd);
    Sleep(50);
  }
  if (GetForegroundWindow() != wnd) return fail("the window did not come to the front");
  for (size_t i = 2; i < a.size(); ++i) {
    const std::wstring& k = a[i];
    std::vector<WORD> held;
    if (k.find(L"ctrl+") != std::wstring::npos) held.push_back(VK_CONTROL);
    if (k.find(L"shift+") != std::wstring::npos) held.push_back(VK_SHIFT);
    const std::wstring last = k.substr(k.rfind(L'+') == std::wstring::npos ? 0 : k.rfind(L'+') + 1);
    const WORD vk = last == L"f1" ? VK_F1 : static_cast<WORD>(towupper(last[0]));
    for (WORD h : held) key(h, false);
    key(vk, false);
    key(vk, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it) key(*it, true);
    Sleep(50);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> a(argv + 1, argv + argc);
  if (a.empty()) return 2;
  if (a[0] == L"show") return show(a);
  if (a[0] == L"keys") return keys(a);
  if (a[0] == L"rect" && a.size() == 2) {
    HWND wnd = FindWindowW(a[1].c_str(), nullptr);
    RECT r{};
    if (!wnd || !GetWindowRect(wnd, &r)) return fail("no such window");
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (a[0] == L"foreground") {
    wchar_t cls[256] = {};
    GetClassNameW(GetForegroundWindow(), cls, 256);
    std::printf("%s\n", utf8(cls).c_str());
    return 0;
  }
  return 2;
}
