#include "imaging/start_check.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

ImagingPlan Plan(ImagingWay way, std::int64_t size, std::string folder) {
  ImagingPlan plan;
  plan.way = way;
  plan.sizeBytes = size;
  plan.pcFolder = std::move(folder);
  return plan;
}

FreeSpaceQuery Free(std::optional<std::uint64_t> bytes, int* calls = nullptr) {
  return [bytes, calls](const std::string&) {
    if (calls) ++*calls;
    return bytes;
  };
}

TEST(CheckImagingStart, RawCardNeedsNoFolderAndNoSpace) {
  int calls = 0;
  const StartCheck check =
      CheckImagingStart(Plan(ImagingWay::kRawCard, 4294967296, ""), Free(0, &calls));
  EXPECT_TRUE(check.refusal.empty());
  EXPECT_EQ(calls, 0);
}

TEST(CheckImagingStart, EveryOtherWayNeedsAFolderBeforeAskingForSpace) {
  for (const ImagingWay way : {ImagingWay::kSmallImage, ImagingWay::kImage, ImagingWay::kFile}) {
    for (const std::int64_t size :
         {std::int64_t{0}, std::int64_t{4284967296}, std::int64_t{4284967297}}) {
      int calls = 0;
      EXPECT_EQ(CheckImagingStart(Plan(way, size, ""), Free(1LL << 40, &calls)).refusal,
                kNoPcFolderMessage);
      EXPECT_EQ(calls, 0);
    }
  }
}

TEST(CheckImagingStart, SpaceMustExceedTheCopy) {
  const ImagingPlan plan = Plan(ImagingWay::kFile, 1000, "/cases/案例 1/");
  StartCheck check = CheckImagingStart(plan, Free(1001));
  EXPECT_TRUE(check.refusal.empty());
  ASSERT_TRUE(check.spaceLine);
  EXPECT_EQ(check.spaceLine->type, "空闲空间");
  EXPECT_EQ(check.spaceLine->description, "/cases/案例 1/盘空闲空间容量为1001Byte");
  EXPECT_EQ(CheckImagingStart(plan, Free(1000)).refusal, kPcTooSmallMessage);
  EXPECT_EQ(CheckImagingStart(plan, Free(std::nullopt)).refusal, kFreeSpaceQueryMessage);
}

}  // namespace
}  // namespace orv
