#include "platform/clock.h"

#include <ctime>

namespace nokari {

Text localDateTimeIso() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
#if defined(_WIN32)
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  char buf[64];
  std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &tm);
  return fromAscii(buf);
}

}  // namespace nokari
