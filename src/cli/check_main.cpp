// Entry point of nokari-check.
#include <cstdio>

#include "cli/check_cli.h"
#include "platform/cli_args.h"
#include "source/decode.h"

int main(int argc, char** argv) {
  nokari::prepareStdio();
  auto files = nokari::makeSystemFiles();
  nokari::CheckEnv env;
  env.files = files.get();
  env.codePage = nokari::makeCodePage;
  env.programFolder = nokari::programFolder();
  std::string out, err;
  int rc = nokari::runNokariCheck(nokari::commandLineArgs(argc, argv), env, out, err);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  std::fwrite(err.data(), 1, err.size(), stderr);
  return rc;
}
