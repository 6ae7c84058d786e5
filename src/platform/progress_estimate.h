#pragma once
// How far a stage of a worker has got and how long the rest will take, from
// its gauge range and position and the time it has run. Shared by the desktop
// program's status bar and the command-line scanner's progress line.

#include <cstdint>
#include <optional>
#include <string>

namespace orv {

// Before this much of a stage has run, its pace says too little to promise a
// time left.
inline constexpr double kTimeLeftAfterSeconds = 3.0;

// position / maximum, within [0, 1]; a stage of no length counts as done.
double ProgressFraction(std::int64_t position, std::int64_t maximum);

// The time the rest takes at the pace so far; none before any of it is done.
std::optional<double> SecondsLeft(double fraction, double elapsedSeconds);

// "h:mm:ss"; "--:--" for a negative time or one of 100 hours or more.
std::string FormatDuration(double seconds);

// The status bar's text: the whole percentage done ("37%"), and once
// kTimeLeftAfterSeconds have passed, the time left ("37%  剩余 0:01:05").
// Empty for a stage of no length.
std::string ProgressText(std::int64_t position, std::int64_t maximum, double elapsedSeconds);

}  // namespace orv
