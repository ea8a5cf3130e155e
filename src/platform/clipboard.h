// The system clipboard, for plain Unicode text.
#pragma once

#include "base/text.h"

namespace nokari {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's content with text; false when the clipboard could not be had.
  virtual bool setText(const Text& text) = 0;
};

}  // namespace nokari
