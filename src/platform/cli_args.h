// Command-line arguments and standard streams of a console program.
#pragma once

#include <string>
#include <vector>

#include "base/text.h"

namespace nokari {

// The arguments after the program name, as Unicode text. On POSIX an argument need not be
// UTF-8 (a file name in Shift-JIS, say); its other bytes are kept as fromUtf8Escaped does.
std::vector<Text> commandLineArgs(int argc, char** argv);
// An argument (or a path built from one) as the bytes the user gave, for messages that
// quote it: a file name prints as it was typed, whatever its encoding.
std::string argumentBytes(const Text& arg);
// Standard output and error in binary mode, so LF stays LF.
void prepareStdio();

}  // namespace nokari
