#include "platform/progress_estimate.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(ProgressEstimateTest, FractionStaysWithinTheStage) {
  EXPECT_DOUBLE_EQ(ProgressFraction(0, 200), 0.0);
  EXPECT_DOUBLE_EQ(ProgressFraction(50, 200), 0.25);
  EXPECT_DOUBLE_EQ(ProgressFraction(300, 200), 1.0);
  EXPECT_DOUBLE_EQ(ProgressFraction(-1, 200), 0.0);
  EXPECT_DOUBLE_EQ(ProgressFraction(0, 0), 1.0);  // a stage of no length is done
}

TEST(ProgressEstimateTest, TimeLeftFollowsThePaceSoFar) {
  EXPECT_FALSE(SecondsLeft(0.0, 10).has_value());
  EXPECT_DOUBLE_EQ(*SecondsLeft(0.25, 10), 30);
  EXPECT_DOUBLE_EQ(*SecondsLeft(1.0, 10), 0);
}

TEST(ProgressEstimateTest, DurationsUpToNinetyNineHoursAreWritten) {
  const std::pair<double, const char*> cases[] = {
      {0, "0:00:00"},       {59.9, "0:00:59"}, {65, "0:01:05"}, {3600, "1:00:00"},
      {359999, "99:59:59"}, {360000, "--:--"}, {-1, "--:--"},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(FormatDuration(seconds), text) << seconds;
}

TEST(ProgressEstimateTest, StatusTextGivesTheTimeLeftOnlyAfterAFewSeconds) {
  const struct {
    std::int64_t position, maximum;
    double elapsed;
    const char* text;
  } cases[] = {
      {0, 0, 10, ""},  // nothing to measure
      {0, 100, 0, "0%"},
      {37, 100, kTimeLeftAfterSeconds - 0.01, "37%"},
      {25, 100, kTimeLeftAfterSeconds, "25%  剩余 0:00:09"},
      {0, 100, 10, "0%"},  // no pace yet
      {100, 100, 10, "100%  剩余 0:00:00"},
      {999, 1000, 1, "99%"},  // whole percent, never rounded up to done
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgressText(c.position, c.maximum, c.elapsed), c.text)
        << c.position << "/" << c.maximum << " after " << c.elapsed;
  }
}

}  // namespace
}  // namespace orv
