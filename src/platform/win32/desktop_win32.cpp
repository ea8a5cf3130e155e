// Other programs' windows through the Win32 window manager. A call that waits for another
// program's answer has a time limit, so a program that hangs cannot freeze this one.
// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <imm.h>
// clang-format on

#include "platform/win32/system_services.h"
#include "platform/win32/wide.h"

namespace nokari::win {

namespace {

// How long a sent message waits for the other program.
constexpr UINT kAnswerTimeoutMs = 1000;
// WM_IME_CONTROL requests.
constexpr WPARAM kImeGetOpenStatus = 0x0005, kImeSetOpenStatus = 0x0006;

HWND hwndOf(WindowHandle w) { return reinterpret_cast<HWND>(w); }
WindowHandle handleOf(HWND w) { return reinterpret_cast<WindowHandle>(w); }

// The text that GetWindowTextW / GetClassNameW leave in a 255-character buffer.
Text bufferText(const wchar_t* buf, int got) {
  return got > 0 ? fromWide({buf, size_t(got)}) : Text();
}

BOOL CALLBACK visitWindow(HWND wnd, LPARAM visit) {
  return (*reinterpret_cast<const Desktop::Visit*>(visit))(handleOf(wnd)) ? TRUE : FALSE;
}

bool sendWithTimeout(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result = nullptr) {
  DWORD_PTR r = 0;
  const bool ok = SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                      kAnswerTimeoutMs, &r) != 0;
  if (result) *result = r;
  return ok;
}

class SystemDesktop final : public Desktop {
 public:
  WindowHandle findTopWindowByClass(const Text& className) override {
    return handleOf(FindWindowW(toWide(className).c_str(), nullptr));
  }
  WindowHandle findTopWindowByTitle(const Text& title) override {
    return handleOf(FindWindowW(nullptr, toWide(title).c_str()));
  }
  void forEachTopWindow(const Visit& visit) override {
    EnumWindows(&visitWindow, reinterpret_cast<LPARAM>(&visit));
  }
  WindowHandle findChild(WindowHandle parent, const Text& className,
                         const std::optional<Text>& text) override {
    const std::wstring cls = toWide(className), title = text ? toWide(*text) : std::wstring();
    return handleOf(FindWindowExW(hwndOf(parent), nullptr, cls.empty() ? nullptr : cls.c_str(),
                                  text ? title.c_str() : nullptr));
  }
  void forEachChildWindow(WindowHandle parent, const Visit& visit) override {
    EnumChildWindows(hwndOf(parent), &visitWindow, reinterpret_cast<LPARAM>(&visit));
  }

  WindowHandle firstChild(WindowHandle wnd) override {
    return handleOf(GetWindow(hwndOf(wnd), GW_CHILD));
  }
  WindowHandle nextSibling(WindowHandle wnd) override {
    return handleOf(GetWindow(hwndOf(wnd), GW_HWNDNEXT));
  }

  Text windowText(WindowHandle wnd) override {
    wchar_t buf[255] = {};
    return bufferText(buf, GetWindowTextW(hwndOf(wnd), buf, 255));
  }
  Text className(WindowHandle wnd) override {
    wchar_t buf[255] = {};
    return bufferText(buf, GetClassNameW(hwndOf(wnd), buf, 255));
  }

  bool isWindow(WindowHandle wnd) override { return wnd && IsWindow(hwndOf(wnd)); }
  bool isIconic(WindowHandle wnd) override { return IsIconic(hwndOf(wnd)); }
  bool isEnabled(WindowHandle wnd) override { return IsWindowEnabled(hwndOf(wnd)); }
  WindowHandle foregroundWindow() override { return handleOf(GetForegroundWindow()); }

  // Back to its normal size from minimized or maximized. Not activated: whoever asks for the
  // front does so separately, and several windows restored at once must not fight for it.
  void restore(WindowHandle wnd) override { ShowWindowAsync(hwndOf(wnd), SW_SHOWNOACTIVATE); }
  bool setForeground(WindowHandle wnd) override { return SetForegroundWindow(hwndOf(wnd)); }
  std::optional<ScreenRect> windowRect(WindowHandle wnd) override {
    RECT r{};
    if (!GetWindowRect(hwndOf(wnd), &r)) return std::nullopt;
    return ScreenRect{r.left, r.top, r.right, r.bottom};
  }
  void moveWindow(WindowHandle wnd, const ScreenRect& to) override {
    SetWindowPos(hwndOf(wnd), nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
  }
  void placeOnTop(WindowHandle wnd, const ScreenRect& to) override {
    SetWindowPos(hwndOf(wnd), HWND_TOP, to.left, to.top, to.right - to.left, to.bottom - to.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
  }
  ScreenRect screen() override {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  ScreenRect workArea() override {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return {r.left, r.top, r.right, r.bottom};
  }

  void keyEvent(unsigned virtualKey, bool keyUp) override {
    const BYTE vk = static_cast<BYTE>(virtualKey);
    const BYTE scan = static_cast<BYTE>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    keybd_event(vk, scan, keyUp ? KEYEVENTF_KEYUP : 0, 0);
  }

  bool sendSetText(WindowHandle wnd, const Text& text) override {
    const std::wstring w = toWide(text);
    return sendWithTimeout(hwndOf(wnd), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  void postClick(WindowHandle wnd) override {
    PostMessageW(hwndOf(wnd), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(hwndOf(wnd), WM_LBUTTONUP, 0, 0);
  }
  bool sendKeyDown(WindowHandle wnd, unsigned virtualKey) override {
    return sendWithTimeout(hwndOf(wnd), WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 0);
  }
  void postNull(WindowHandle wnd) override { PostMessageW(hwndOf(wnd), WM_NULL, 0, 0); }
  bool sendChar(WindowHandle wnd, char16_t ch) override {
    return sendWithTimeout(hwndOf(wnd), WM_CHAR, static_cast<WPARAM>(ch), 0);
  }
  bool sendCopyData(WindowHandle wnd, std::uintptr_t kind, const std::string& bytes) override {
    COPYDATASTRUCT cds{};
    cds.dwData = kind;
    cds.cbData = static_cast<DWORD>(bytes.size());
    cds.lpData = const_cast<char*>(bytes.data());
    return sendWithTimeout(hwndOf(wnd), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
  }
  std::optional<bool> imeOpen(WindowHandle wnd) override {
    HWND ime = ImmGetDefaultIMEWnd(hwndOf(wnd));
    DWORD_PTR status = 0;
    if (!ime || !sendWithTimeout(ime, WM_IME_CONTROL, kImeGetOpenStatus, 0, &status))
      return std::nullopt;
    return (status & 0xFF) != 0;
  }
  bool setImeOpen(WindowHandle wnd, bool open) override {
    HWND ime = ImmGetDefaultIMEWnd(hwndOf(wnd));
    return ime && sendWithTimeout(ime, WM_IME_CONTROL, kImeSetOpenStatus, open ? 1 : 0);
  }
};

}  // namespace

std::unique_ptr<Desktop> makeSystemDesktop() { return std::make_unique<SystemDesktop>(); }

}  // namespace nokari::win
