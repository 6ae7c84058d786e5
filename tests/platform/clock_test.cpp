#include "platform/clock.h"

#include <gtest/gtest.h>

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

TEST(ClockTest, LocalTimeBeforeEpochFloorsToThePreviousDay) {
  const LocalTime t = ToLocalTime({-1, 0});
  EXPECT_EQ(t.year, 1969);
  EXPECT_EQ(t.day, 31);
  EXPECT_EQ(t.second, 59);
}

}  // namespace
}  // namespace orv
