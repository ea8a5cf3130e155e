// The Windows implementations of the system interfaces that only the window program uses.
#pragma once

#include <memory>

#include "platform/automation.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/shell.h"

namespace nokari::win {

std::unique_ptr<Shell> makeSystemShell();
std::unique_ptr<Clock> makeSystemClock();
std::unique_ptr<Desktop> makeSystemDesktop();
std::unique_ptr<Clipboard> makeSystemClipboard();
std::unique_ptr<Automation> makeSystemAutomation();

}  // namespace nokari::win
