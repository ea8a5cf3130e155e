#include "platform/cli_args.h"

namespace nokari {

std::vector<Text> commandLineArgs(int argc, char** argv) {
  std::vector<Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(fromUtf8Escaped(argv[i]));
  return args;
}

std::string argumentBytes(const Text& arg) { return toUtf8Escaped(arg); }

void prepareStdio() {}

}  // namespace nokari
