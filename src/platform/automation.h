// Other programs' running automation objects, reached through one of their interfaces by the
// positions of its operations in the interface's method table (the three IUnknown and four
// IDispatch operations come first, so an interface's own first operation is at 7).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "base/text.h"

namespace nokari {

// One interface of a running object. Dropping it releases the reference.
class AutomationObject {
 public:
  virtual ~AutomationObject() = default;
  // A read-only property whose value is a window handle; nullopt when the call fails.
  virtual std::optional<std::uintptr_t> readHandle(int position) = 0;
  // A read-only property whose value is another object, held through the interface the
  // property returns; nullptr when the call fails or gives none.
  virtual std::unique_ptr<AutomationObject> readObject(int position) = 0;
  // An operation that takes one text; false when the call fails.
  virtual bool callWithText(int position, const Text& text) = 0;
};

class Automation {
 public:
  virtual ~Automation() = default;
  // The object running for the ProgID, held through the interface named by iid (text of the
  // form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"); nullptr when the ProgID is not registered,
  // nothing runs for it, or the object lacks that interface.
  virtual std::unique_ptr<AutomationObject> attachRunning(const Text& progId, const Text& iid) = 0;
};

}  // namespace nokari
