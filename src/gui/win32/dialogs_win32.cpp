// The system's dialogs over the main window: topmost, so that they stand above it.
// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <cderr.h>
#include <commdlg.h>
// clang-format on

#include "gui/win32/dialogs_win32.h"

#include <algorithm>
#include <string>

#include "gui/win32/message_boxes.h"
#include "platform/win32/wide.h"

namespace nokari::win {

void WindowDialogs::showMessage(const Text& text) {
  topmostMessageBox(owner_.hwnd(), toWide(text).c_str(), L"Nokari", MB_OK, true);
}

bool WindowDialogs::askYesNo(const Text& text, bool centred) {
  return topmostMessageBox(owner_.hwnd(), toWide(text).c_str(), L"確認", MB_YESNO | MB_ICONQUESTION,
                           centred) == IDYES;
}

std::optional<Text> WindowDialogs::chooseOpenFile(const Text& initialPath) {
  constexpr size_t kMax = 32768;
  std::wstring buf(kMax, L'\0');
  const std::wstring initial = toWide(initialPath.substr(0, kMax - 1));
  std::copy(initial.begin(), initial.end(), buf.begin());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner_.hwnd();
  ofn.lpstrFilter = L"*.lsp\0*.lsp\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buf.data();
  ofn.nMaxFile = static_cast<DWORD>(buf.size());
  // The file need not exist: a typed name of a missing file ends in the read's message.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  BOOL ok = GetOpenFileNameW(&ofn);
  if (!ok && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
    // The remembered name is unusable as a start; open the dialog without it.
    std::fill(buf.begin(), buf.end(), L'\0');
    ok = GetOpenFileNameW(&ofn);
  }
  if (!ok) return std::nullopt;
  return fromWide(buf.c_str());
}

}  // namespace nokari::win
