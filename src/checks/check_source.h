// A source read once for the checks that look at it: its code lines, where its strings and
// comment blocks were, its function index and what its code does with its names.
#pragma once

#include "base/lines.h"
#include "checks/code_facts.h"
#include "source/func_index.h"
#include "source/progress.h"
#include "source/scanner.h"

namespace nokari {

struct CheckSource {
  CheckSource() = default;
  // facts holds views into code: a move keeps them, a copy would not.
  CheckSource(CheckSource&&) = default;
  CheckSource& operator=(CheckSource&&) = default;
  CheckSource(const CheckSource&) = delete;
  CheckSource& operator=(const CheckSource&) = delete;

  Lines code;
  CodeMarks marks;
  FuncIndex records;  // index order; with indent when asked for
  FileFacts facts;
};

// One progress stage of stageSteps for the code lines and the index.
inline CheckSource readCheckSource(const Lines& sourceLines, int stageSteps, Progress* bar,
                                   bool withIndent) {
  CheckSource s;
  makeCodeAndFuncIndex(sourceLines, s.code, s.records, stageSteps, bar, withIndent, &s.marks);
  s.facts = readFileFacts(sourceLines, s.code, s.marks);
  return s;
}

}  // namespace nokari
