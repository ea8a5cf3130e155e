// One finding of a check, as the lint mode of nokari-check prints it.
#pragma once

#include <vector>

#include "base/text.h"

namespace nokari {

struct Finding {
  int line = 0;               // 1-based source line
  const char* category = "";  // "unused-local", "undefined-function" ...
  Text name;
};

using Findings = std::vector<Finding>;

}  // namespace nokari
