#include "gui/win32/key_watch.h"

namespace nokari::win {

namespace {

// One watch per process: the hook procedure has no other way to its window.
HWND g_target = nullptr;

LRESULT CALLBACK keyboardHookProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && (wp == WM_KEYDOWN || wp == WM_KEYUP) && g_target)
    PostMessageW(g_target, kMsgKeyNotify, wp,
                 static_cast<LPARAM>(reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp)->vkCode));
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

bool KeyWatch::start(HWND target) {
  g_target = target;
  if (!hook_)
    hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &keyboardHookProc, GetModuleHandleW(nullptr), 0);
  return hook_ != nullptr;
}

void KeyWatch::stop() {
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
}

void allowKeyNotices(HWND wnd) {
  // Looked up at run time: older systems lack it, and then nothing needs letting through.
  using Filter = BOOL(WINAPI*)(UINT, DWORD);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32 || !wnd) return;
  if (auto filter = reinterpret_cast<Filter>(
          reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter"))))
    filter(kMsgKeyNotify, MSGFLT_ADD);
}

}  // namespace nokari::win
