#include "platform/win32/win_shell.h"

#include <shellapi.h>

#include "platform/win32/wide.h"

namespace nokari::win {

void Win32Shell::openInNotepad(const Text& path) {
  // Quoted, so that a folder name with spaces stays one argument.
  const std::wstring arg = L"\"" + toWide(path) + L"\"";
  ShellExecuteW(owner_.hwnd(), L"open", L"Notepad", arg.c_str(), L"", SW_SHOWNORMAL);
}

void Win32Shell::sleepMs(int ms) { Sleep(ms > 0 ? static_cast<DWORD>(ms) : 0); }

Text Win32Shell::nowText() {
  wchar_t date[128] = {}, time[128] = {};
  if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128,
                       nullptr) ||
      !GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, time, 128))
    return Shell::nowText();
  return fromWide(date) + u" " + fromWide(time);
}

}  // namespace nokari::win
