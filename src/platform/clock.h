// Time: waiting, the running time for timers, and the local date and time as text.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace nokari {

class Clock {
 public:
  virtual ~Clock() = default;
  // Blocks the calling thread for ms milliseconds (nothing for ms <= 0).
  virtual void sleep(int ms) = 0;
  // Milliseconds on a clock that never goes back; only differences mean anything.
  virtual std::int64_t nowMs() const = 0;
  // The local date and time as the user's locale writes them: short date, a space, long time.
  virtual Text localDateTimeText() const = 0;
};

// "YYYY/MM/DD hh:mm:ss" of the local time: the portable form of localDateTimeText.
Text localDateTimeIso();

}  // namespace nokari
