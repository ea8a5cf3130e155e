#include <windows.h>

#include "platform/win32/system_services.h"
#include "platform/win32/wide.h"

namespace nokari::win {

namespace {

class SystemClock final : public Clock {
 public:
  void sleep(int ms) override { Sleep(ms > 0 ? static_cast<DWORD>(ms) : 0); }
  std::int64_t nowMs() const override { return static_cast<std::int64_t>(GetTickCount64()); }
  Text localDateTimeText() const override {
    wchar_t date[128] = {}, time[128] = {};
    if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128,
                         nullptr) ||
        !GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, time, 128))
      return localDateTimeIso();
    return fromWide(date) + u" " + fromWide(time);
  }
};

}  // namespace

std::unique_ptr<Clock> makeSystemClock() { return std::make_unique<SystemClock>(); }

}  // namespace nokari::win
