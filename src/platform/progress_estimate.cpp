#include "platform/progress_estimate.h"

#include <algorithm>
#include <cstdio>

namespace orv {

double ProgressFraction(std::int64_t position, std::int64_t maximum) {
  if (maximum <= 0) return 1.0;
  return std::clamp(static_cast<double>(position) / static_cast<double>(maximum), 0.0, 1.0);
}

std::optional<double> SecondsLeft(double fraction, double elapsedSeconds) {
  if (fraction <= 0) return std::nullopt;
  return elapsedSeconds / fraction - elapsedSeconds;
}

std::string FormatDuration(double seconds) {
  constexpr double kLongest = 100.0 * 3600;  // "h:mm:ss" keeps two digits of hours
  if (seconds < 0 || seconds >= kLongest) return "--:--";
  const auto s = static_cast<long>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  return text;
}

std::string ProgressText(std::int64_t position, std::int64_t maximum, double elapsedSeconds) {
  if (maximum <= 0) return {};
  const double fraction = ProgressFraction(position, maximum);
  std::string text = std::to_string(static_cast<int>(fraction * 100)) + "%";
  if (elapsedSeconds >= kTimeLeftAfterSeconds) {
    if (const auto left = SecondsLeft(fraction, elapsedSeconds)) {
      text += "  剩余 " + FormatDuration(*left);
    }
  }
  return text;
}

}  // namespace orv
