// The lint mode's findings as text lines, as one JSON document or as a SARIF log.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/lint_run.h"

namespace nokari {

inline constexpr char kToolName[] = "nokari-check";
inline constexpr char kToolVersion[] = "0.93";  // the version of Nokari.exe
// The README, where code-scanning services send a reader who wants to know about the tool: set
// when the program is built (NOKARI_README_URI); until the project's public address is settled
// the default stands in under the reserved ".invalid" domain.
#ifndef NOKARI_README_URI
#define NOKARI_README_URI "https://nokari.invalid/README.md"
#endif
inline constexpr char kReadmeUri[] = NOKARI_README_URI;

enum class LintFormat { Text, Json, Sarif };

// Where a SARIF log finds its files.
struct UriBase {
  Text currentFolder;               // absolute
  bool backslashSeparates = false;  // Windows paths
  // A path's absolute form with its links resolved, empty when it cannot be found; null: the
  // paths are taken as they are written.
  std::function<Text(const Text&)> resolve = {};
};

// What one file adds to the output, worked out on the thread that checked it: file.rendered
// receives it, and file.findings are let go.
//   text:  PATH:LINE:COLUMN: CATEGORY: NAME, one line per finding
//   json:  the file's item of "files": {"path", "encoding", "findings": [...]} or
//          {"path", "error"}
//   sarif: its items of "results"
void renderLintFile(LintFile& file, LintFormat format, const UriBase& base);

struct LintReport {
  std::vector<LintFile> files;        // rendered
  std::vector<std::string> warnings;  // UTF-8, one sentence each, without the program's name
  UriBase base;                       // sarif: for the files that could not be read
  unsigned codePage = 0;              // sarif: the ANSI code page files were read in
};

// The whole output: for json one document with the tool's name and version before the files;
// for sarif a SARIF 2.1.0 log with one run, a rule per category, and the files that could not
// be read and the warnings as notifications of the invocation.
void writeLint(const LintReport& report, LintFormat format, std::string& out);

// The key of SARIF's partialFingerprints, and each finding's value under it: a hash of the
// file's URI, the category, the function the finding stands in (its scope), the name, and the
// finding's number among those of the file equal in all three (in line order). The line is
// left out, so lines added or taken away elsewhere keep the value.
inline constexpr char kFingerprintKey[] = "nokariFinding/v1";
std::vector<std::string> findingFingerprints(const Findings& findings, std::string_view uri);

// A file's URI for SARIF: relative (percent-encoded, "/" between the parts) when the path,
// its links resolved and ".", ".." and empty parts taken out, lies in the current folder, else
// an absolute file URI. relative tells which.
std::string artifactUri(const Text& path, const UriBase& base, bool* relative);

}  // namespace nokari
