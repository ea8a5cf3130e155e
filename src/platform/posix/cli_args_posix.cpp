#include "platform/cli_args.h"

namespace nokari {

std::vector<Text> commandLineArgs(int argc, char** argv) {
  std::vector<Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(fromUtf8(argv[i]));
  return args;
}

void prepareStdio() {}

}  // namespace nokari
