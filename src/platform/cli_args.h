// Command-line arguments and standard streams of a console program.
#pragma once

#include <vector>

#include "base/text.h"

namespace nokari {

// The arguments after the program name, as Unicode text.
std::vector<Text> commandLineArgs(int argc, char** argv);
// Standard output and error in binary mode, so LF stays LF.
void prepareStdio();

}  // namespace nokari
