// One finding of a check, as the lint mode of nokari-check prints it.
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"

namespace nokari {

struct Finding {
  int line = 0;               // 1-based source line
  const char* category = "";  // "unused-local", "undefined-function" ...
  Text name;
  // 1-based column in UTF-16 code units, 0 when the check knows none. The checks give a column
  // of the code lines; lintSource turns it into one of the source lines.
  int column = 0;
  Text message;  // the panel's text about the finding (lines joined by LF); empty when none
  // What another file of the same program would take the finding back with: a definition (or
  // a setq) of the function called, a reference to the function, a definition of the name
  // read as a variable. The lint reads the files of a run as one program.
  enum class Unless : std::uint8_t { Never, Defined, Referenced, DefinedFunction };
  Unless unless = Unless::Never;
  // 1-based column just past the finding's text (as column, of the code lines until lintSource
  // turns it into one of the source lines); column when the text is empty.
  int endColumn = 0;
  // The function whose code holds the finding, empty for top-level code and for the findings
  // that stand for a whole function or file.
  Text scope = {};
};

using Findings = std::vector<Finding>;

}  // namespace nokari
