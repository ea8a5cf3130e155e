// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "platform/win32/system_services.h"
#include "platform/win32/wide.h"

namespace nokari::win {

namespace {

class SystemShell final : public Shell {
 public:
  void openInNotepad(const Text& path) override {
    // Quoted, so that a folder name with spaces stays one argument.
    const std::wstring arg = L"\"" + toWide(path) + L"\"";
    ShellExecuteW(nullptr, L"open", L"Notepad", arg.c_str(), L"", SW_SHOWNORMAL);
  }
  void openPage(const Text& url) override {
    ShellExecuteW(nullptr, L"open", toWide(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
};

}  // namespace

std::unique_ptr<Shell> makeSystemShell() { return std::make_unique<SystemShell>(); }

}  // namespace nokari::win
