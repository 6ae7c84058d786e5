#pragma once
// Whether a standard stream is shown to a person, so progress may redraw one
// line in place instead of printing a line now and then.

#include <cstdio>

namespace orv {

// True when `stream` writes to an interactive terminal (a console window on
// Windows); false for files, pipes and the null device.
bool IsTerminal(std::FILE* stream);

}  // namespace orv
