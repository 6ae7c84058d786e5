#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace orv {
namespace {

// The system's broken-down local time of `t`; the thread-safe call is spelled
// differently on Windows.
bool LocalCalendarTime(std::time_t t, std::tm& out) {
#ifdef _WIN32
  return localtime_s(&out, &t) == 0;
#else
  return localtime_r(&t, &out) != nullptr;
#endif
}

// Local time minus UTC at `t`: the local calendar reading counted as if it were
// UTC, less `t`. Not every system's std::tm carries the offset itself.
std::int32_t LocalOffsetSeconds(std::time_t t) {
  std::tm local{};
  if (!LocalCalendarTime(t, local)) return 0;
  using namespace std::chrono;
  const sys_days date = year(local.tm_year + 1900) /
                        month(static_cast<unsigned>(local.tm_mon + 1)) /
                        day(static_cast<unsigned>(local.tm_mday));
  const std::int64_t asUtc = static_cast<std::int64_t>(date.time_since_epoch().count()) * 86400 +
                             local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  return static_cast<std::int32_t>(asUtc - t);
}

class SystemClock : public Clock {
 public:
  WallClockReading now() const override {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    return {ms, LocalOffsetSeconds(static_cast<std::time_t>(ms / 1000))};
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
  using namespace std::chrono;
  const sys_time<milliseconds> local{
      milliseconds(reading.unixMillis + std::int64_t{reading.localOffsetSeconds} * 1000)};
  // Flooring keeps moments before 1970 on the right day.
  const sys_days day = floor<days>(local);
  const year_month_day date(day);
  const hh_mm_ss time(floor<seconds>(local - day));
  return {static_cast<int>(date.year()),
          static_cast<int>(unsigned(date.month())),
          static_cast<int>(unsigned(date.day())),
          static_cast<int>(time.hours().count()),
          static_cast<int>(time.minutes().count()),
          static_cast<int>(time.seconds().count())};
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
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d-%02d-%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace orv
