// The lint mode's findings as text lines, as one JSON document or as a SARIF log.
#pragma once

#include <string>
#include <vector>

#include "cli/lint_run.h"

namespace nokari {

inline constexpr char kToolName[] = "nokari-check";
inline constexpr char kToolVersion[] = "0.93";  // the version of Nokari.exe
// The README, where code-scanning services send a reader who wants to know about the tool. No
// public address of the project is settled yet: the reserved ".invalid" domain stands in.
inline constexpr char kReadmeUri[] = "https://nokari.invalid/README.md";

struct LintReport {
  std::vector<LintFile> files;
  std::vector<std::string> warnings;  // UTF-8, one sentence each, without the program's name
};

// PATH:LINE: CATEGORY: NAME, one line per finding.
void writeLintText(const LintReport& report, std::string& out);
// {"tool": {...}, "files": [{"path", "encoding", "findings": [...]} or {"path", "error"}]}
void writeLintJson(const LintReport& report, std::string& out);

// Where a SARIF log finds its files.
struct UriBase {
  Text currentFolder;               // absolute
  bool backslashSeparates = false;  // Windows paths
};
// SARIF 2.1.0: one run, a rule per category, a result per finding; files that could not be
// read and the warnings as notifications of the invocation.
void writeLintSarif(const LintReport& report, const UriBase& base, std::string& out);

// A file's URI for SARIF: relative (percent-encoded, "/" between the parts) when the path
// lies in the current folder or is relative, else an absolute file URI. relative tells which.
std::string artifactUri(const Text& path, const UriBase& base, bool* relative);

}  // namespace nokari
