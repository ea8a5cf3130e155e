// Running automation objects through COM. (Not reached yet: every attach finds nothing.)
#include "platform/win32/system_services.h"

namespace nokari::win {

namespace {

class SystemAutomation final : public Automation {
 public:
  std::unique_ptr<AutomationObject> attachRunning(const Text&, const Text&) override {
    return nullptr;
  }
};

}  // namespace

std::unique_ptr<Automation> makeSystemAutomation() { return std::make_unique<SystemAutomation>(); }

}  // namespace nokari::win
