#include <fcntl.h>
#include <io.h>
// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdio>

#include "platform/cli_args.h"
#include "platform/win32/wide.h"

namespace nokari {

std::vector<Text> commandLineArgs(int, char**) {
  std::vector<Text> args;
  int n = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!argv) return args;
  for (int i = 1; i < n; ++i) args.push_back(fromWide(argv[i]));
  LocalFree(argv);
  return args;
}

// Wide arguments are Unicode already; UTF-8 is how the output carries them.
std::string argumentBytes(const Text& arg) { return toUtf8(arg); }

void prepareStdio() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace nokari
