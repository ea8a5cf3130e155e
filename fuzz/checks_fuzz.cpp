// Arbitrary bytes through decoding and every check: the variable check, the parenthesis check
// in both message variants, the function check, the catalogue, the lint findings, and the
// same bytes read as an exclusion list and a built-in function list.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "checks/catalogue.h"
#include "checks/exclusion_list.h"
#include "checks/func_check.h"
#include "checks/lint.h"
#include "checks/paren_check.h"
#include "checks/var_check.h"
#include "platform/files.h"
#include "source/decode.h"

namespace {

const nokari::CodePage& cp932() {
  static auto cp = nokari::makeCodePage(932);
  return *cp;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nokari;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const Lines lines = decodeSource(bytes, cp932()).lines;
  NullProgress bar;

  const ExclusionList exclusions =
      ExclusionList::withFileLines(decodeTextFile(bytes, cp932()).lines);
  const BuiltinList builtins = BuiltinList::fromFileLines(lines.toList());
  variableCheck(lines, exclusions, WhenClear::AllClearLines, &bar);
  variableCheck(lines, ExclusionList::defaults(), WhenClear::Nothing, &bar);
  parenBalanceCheck(lines, false, &bar);
  parenBalanceCheck(lines, true, &bar);
  funcCheck(lines, builtins, &bar);
  makeCatalogue(lines, u"fuzz.lsp", u"2026/01/01 00:00:00", &bar);
  lintSource(lines, exclusions, builtins);
  for (int i = 0; i < static_cast<int>(lines.size()) && i < 64; ++i) {
    int start = i;
    getHeadComment(lines, start);
  }
  return 0;
}
