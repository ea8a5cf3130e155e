// The report options of nokari-check and what each prints.
#pragma once

#include <optional>
#include <string>

#include "app/list_files.h"
#include "checks/exclusion_list.h"
#include "checks/func_check.h"
#include "platform/files.h"
#include "source/decode.h"

namespace nokari {

// Everything a report may look at.
struct ReportInput {
  Text path;                              // the FILE argument as given
  const DecodedSource* source = nullptr;  // null for reports that take no file
  Text dataDir;                           // folder of jogaiList.txt and AutoLispFuncList.txt
  std::optional<Text> timeText;
  const Files* files = nullptr;
  const CodePage* ansi = nullptr;
};

struct ReportOutput {
  Lines lines;  // a line holding CR LF prints as several lines
  int exitCode = 0;
  std::string warnings;  // printed on stderr, one line each
};

struct ReportKind {
  const char* option;  // "--tree"
  bool needsFile;
  ReportOutput (*run)(const ReportInput&);
};

// All report options; a null run means "not available".
const std::vector<ReportKind>& reportKinds();

// The list files of dataDir; a file that exists but cannot be read adds a warning line and
// leaves the defaults (exclusions) or an empty list (built-in functions).
ExclusionList loadExclusionsReporting(const Files& files, const Text& dataDir, const CodePage& ansi,
                                      std::string& warnings);
BuiltinList loadBuiltinsReporting(const Files& files, const Text& dataDir, const CodePage& ansi,
                                  std::string& warnings);

// The date and time of now, as line 3 of the catalogue shows it without --time.
Text currentTimeText();

}  // namespace nokari
