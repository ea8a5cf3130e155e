// The report options of nokari-check and what each prints.
#pragma once

#include <optional>
#include <string>

#include "platform/files.h"
#include "source/decode.h"

namespace nokari {

// Everything a report may look at.
struct ReportInput {
  Text path;                 // the FILE argument as given
  const DecodedSource* source = nullptr;  // null for reports that take no file
  Text dataDir;              // folder of jogaiList.txt and AutoLispFuncList.txt
  std::optional<Text> timeText;
  const Files* files = nullptr;
  const CodePage* ansi = nullptr;
};

struct ReportOutput {
  TextList lines;  // a line holding CR LF prints as several lines
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

}  // namespace nokari
