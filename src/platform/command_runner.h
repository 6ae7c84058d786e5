#pragma once
// Runs one command line (adb and its arguments) as a child process and hands
// back what the child wrote to its standard output.

#include <string>

namespace orv {

// The settle times in use: the workers that talk to the phone wait longer than
// the window does.
inline constexpr int kWorkerSettleMs = 1500;
inline constexpr int kWindowSettleMs = 500;

// The longest command line accepted, in bytes.
inline constexpr std::size_t kMaxCommandLine = 512;

// Runs `commandLine` with the executable search (its first word names the
// program; blanks separate arguments, double quotes group them and are
// removed). Waits until the child ends or `settleMs` has passed, whichever
// comes first, then drains what is waiting in the pipe and stores every byte of
// the child's standard output in `output`, unconverted. Standard error is
// discarded and standard input is empty.
//
// When the child cannot be started (program not found, line longer than
// kMaxCommandLine, empty line) `output` keeps what it held. A child still
// running at the end keeps running and is reaped when it ends, never left a
// zombie. Thread-safe; blocks the caller for at most about `settleMs`.
void RunCommand(const std::string& commandLine, std::string& output, int settleMs);

}  // namespace orv
