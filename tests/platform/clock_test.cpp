#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <tuple>
#include <utility>

namespace orv {
namespace {

TEST(ClockTest, FixedClockDrivesNowAndFormats) {
  // 2024-05-01 13:45:09 in China (UTC+8).
  const FixedClock fixed({1714542309000, 8 * 3600});
  ScopedClockOverride guard(fixed);
  EXPECT_EQ(Now().unixMillis, 1714542309000);
  EXPECT_EQ(FormatLogTime(Now()), "2024-5-1 13:45:09");
  EXPECT_EQ(FormatFileStamp(Now()), "2024-05-01 13-45-09");
}

TEST(ClockTest, LocalTimeHandlesDayMonthAndYearEdges) {
  struct Case {
    WallClockReading reading;
    LocalTime expected;
  };
  const Case cases[] = {
      {{-1, 0}, {1969, 12, 31, 23, 59, 59}},                   // floors before 1970
      {{-1500, 0}, {1969, 12, 31, 23, 59, 58}},                // whole seconds floor too
      {{1709222399000, 8 * 3600}, {2024, 2, 29, 23, 59, 59}},  // leap day
      {{1704038400000, 8 * 3600}, {2024, 1, 1, 0, 0, 0}},      // offset crosses the year
      {{951876000000, -5 * 3600}, {2000, 2, 29, 21, 0, 0}},    // 2000 is a leap year
      {{4107542400000 - 1000, 0}, {2100, 2, 28, 23, 59, 59}},  // 2100 is not
  };
  for (const Case& c : cases) {
    const LocalTime t = ToLocalTime(c.reading);
    const LocalTime& e = c.expected;
    EXPECT_EQ(std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second),
              std::tie(e.year, e.month, e.day, e.hour, e.minute, e.second))
        << c.reading.unixMillis;
  }
}

// Restores the TZ variable the process started with.
class TimeZoneGuard {
 public:
  TimeZoneGuard()
      : hadZone_(std::getenv("TZ") != nullptr), zone_(hadZone_ ? std::getenv("TZ") : "") {}
  ~TimeZoneGuard() {
    if (hadZone_)
      setenv("TZ", zone_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  bool hadZone_;
  std::string zone_;
};

TEST(ClockTest, SystemClockOffsetFollowsTheTimeZone) {
  const TimeZoneGuard guard;
  const std::pair<const char*, int> zones[] = {{"UTC0", 0},
                                               {"CST-8", 8 * 3600},
                                               {"<+0545>-5:45", 5 * 3600 + 45 * 60},
                                               {"<-0330>3:30", -(3 * 3600 + 30 * 60)}};
  for (const auto& [zone, offset] : zones) {
    setenv("TZ", zone, 1);
    tzset();
    EXPECT_EQ(Now().localOffsetSeconds, offset) << zone;
  }
}

}  // namespace
}  // namespace orv
