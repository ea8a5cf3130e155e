// The driver's timing commands: the window's start and its check buttons, and a whole process
// run for comparison. Each prints milliseconds on one line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Runs rest (the command and its arguments) when it is a timing command; nullopt otherwise.
//   bench-start EXE       starts EXE; until its window stands, its start sequence over and
//                         its tree filled; a second line: until the window was shown
//   bench-click ID        clicks the button ID; until its handler is done and the panel filled
//   bench-run EXE ARGS    runs EXE with ARGS, output to NUL; until it ends
std::optional<int> benchCommand(const std::vector<std::wstring>& rest);

}  // namespace e2e
