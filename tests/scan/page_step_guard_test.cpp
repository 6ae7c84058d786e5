#include "scan/page_step_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orv {
namespace {

TEST(RunPageStepTest, AStepThatEndsIsNoBug) {
  int bugs = 0;
  int ran = 0;
  EXPECT_TRUE(RunPageStep([&] { ++ran; }, [&] { ++bugs; }));
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(bugs, 0);
}

// A decoder that throws is a bug of ours: the builds made to find bugs let it
// through so the test around it fails; the others count it and go on.
TEST(RunPageStepTest, AThrowingStepFailsWhereBugsAreFatalAndIsCountedElsewhere) {
  int bugs = 0;
  auto throwingDecoder = [] { throw std::out_of_range("a decoder read past its span"); };
  if constexpr (kBugsAreFatal) {
    EXPECT_THROW((void)RunPageStep(throwingDecoder, [&] { ++bugs; }), std::out_of_range);
    EXPECT_EQ(bugs, 0);
  } else {
    EXPECT_FALSE(RunPageStep(throwingDecoder, [&] { ++bugs; }));
    EXPECT_EQ(bugs, 1);
  }
}

}  // namespace
}  // namespace orv
