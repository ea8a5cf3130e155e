#include <windows.h>

#include <cstring>

#include "platform/win32/system_services.h"

namespace nokari::win {

namespace {

class SystemClipboard final : public Clipboard {
 public:
  bool setText(const Text& text) override {
    const size_t bytes = (text.size() + 1) * sizeof(char16_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) return false;
    if (void* at = GlobalLock(mem)) {
      std::memcpy(at, text.c_str(), bytes);
      GlobalUnlock(mem);
    } else {
      GlobalFree(mem);
      return false;
    }
    if (!OpenClipboard(nullptr)) {
      GlobalFree(mem);
      return false;
    }
    EmptyClipboard();
    // On success the clipboard owns the memory.
    const bool ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    CloseClipboard();
    if (!ok) GlobalFree(mem);
    return ok;
  }
};

}  // namespace

std::unique_ptr<Clipboard> makeSystemClipboard() { return std::make_unique<SystemClipboard>(); }

}  // namespace nokari::win
