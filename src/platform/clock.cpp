#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace orv {
namespace {

class SystemClock : public Clock {
 public:
  WallClockReading now() const override {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    return {ms, static_cast<std::int32_t>(local.tm_gmtoff)};
  }
};

const SystemClock kSystemClock;
std::atomic<const Clock*> currentClock{&kSystemClock};

}  // namespace

WallClockReading Now() { return currentClock.load()->now(); }

ScopedClockOverride::ScopedClockOverride(const Clock& clock)
    : previous_(currentClock.exchange(&clock)) {}

ScopedClockOverride::~ScopedClockOverride() { currentClock.store(previous_); }

LocalTime ToLocalTime(const WallClockReading& reading) {
  // Floor division keeps moments before 1970 on the right day.
  std::int64_t ms = reading.unixMillis + std::int64_t{reading.localOffsetSeconds} * 1000;
  std::int64_t seconds = ms / 1000 - (ms % 1000 < 0 ? 1 : 0);
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string FormatLogTime(const WallClockReading& reading) {
  const LocalTime t = ToLocalTime(reading);
  char text[48];
  std::snprintf(text, sizeof text, "%d-%d-%d %d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::string FormatFileStamp(const WallClockReading& reading) {
  const LocalTime t = ToLocalTime(reading);
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d-%02d-%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return text;
}

}  // namespace orv
