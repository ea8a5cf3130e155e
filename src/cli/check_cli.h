// nokari-check: the reports of the window, printed for one file, and the lint mode for many.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/lint_output.h"
#include "cli/lint_run.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace nokari {

// What the command needs from the outside world; tests pass fakes.
struct CheckEnv {
  const Files* files = nullptr;
  std::function<std::unique_ptr<CodePage>(unsigned codePage)> codePage;
  Text programFolder;
  FolderAccess folders;  // the lint mode's folder arguments
  UriBase uriBase;       // where SARIF's relative URIs start
  unsigned cores = 1;    // the lint mode's default number of threads
};

// Runs the command with its arguments (without the program name). Writes the report to out
// (UTF-8, LF after every line) and problems to err; returns the exit status.
int runNokariCheck(const std::vector<Text>& args, const CheckEnv& env, std::string& out,
                   std::string& err);

}  // namespace nokari
