#pragma once
// The console a command-line program runs in: its arguments as UTF-8, whether
// a standard stream is shown to a person, and UTF-8 output to it.

#include <cstdio>
#include <string>
#include <vector>

namespace orv {

// The program's arguments as UTF-8, the program name first. On Windows they
// come from the UTF-16 command line, so Chinese paths survive whatever the
// system's ANSI code page is; elsewhere they are `argv` as given.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// True when `stream` writes to an interactive terminal (a console window on
// Windows); false for files, pipes and the null device.
bool IsTerminal(std::FILE* stream);

// Makes a console show the program's UTF-8 text and the escape sequence that
// clears the rest of a line (Windows consoles need to be told); nothing to do
// elsewhere.
void EnableUtf8Console(std::FILE* stream);

}  // namespace orv
