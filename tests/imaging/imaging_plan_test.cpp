#include "imaging/imaging_plan.h"

#include <gtest/gtest.h>

#include "imaging/number_text.h"

namespace orv {
namespace {

CardChoice Card(std::string free = "8.0G", std::string blocks = "31166976") {
  return {"/dev/block/vold/179:97", "/mnt/sdcard/external_sd", std::move(blocks), std::move(free),
          SpaceReportUnits::kWithUnitLetter};
}

PartitionChoice Partition(std::string blocks) {
  return {"/dev/block/mmcblk0p12", "mmcblk0p12", std::move(blocks)};
}

struct WayCase {
  const char* blocksKib;
  ImagingWay way;
};

TEST(DecidePartitionPlan, WayAtEachSizeLimit) {
  const WayCase cases[] = {
      {"51200", ImagingWay::kSmallImage},  // 52428800 bytes
      {"51201", ImagingWay::kImage},       // one KiB more
      {"4194303", ImagingWay::kImage},     // largest file a FAT32 card holds
      {"4194304", ImagingWay::kRawCard},   // 4 GiB exactly
      {"4194305", ImagingWay::kRawCard},
  };
  for (const WayCase& c : cases) {
    const PlanDecision decision = DecidePartitionPlan(Partition(c.blocksKib), Card("16G"));
    ASSERT_TRUE(decision.plan) << c.blocksKib << ": " << decision.message;
    EXPECT_EQ(decision.plan->way, c.way) << c.blocksKib;
    EXPECT_EQ(decision.plan->sizeBytes, *ParseWholeNumber(c.blocksKib) * 1024);
    EXPECT_EQ(decision.plan->source, "/dev/block/mmcblk0p12");
  }
}

TEST(DecidePartitionPlan, ImageFileGoesOntoTheCardsMountPoint) {
  const PlanDecision decision = DecidePartitionPlan(Partition("4194303"), Card("4194303K"));
  ASSERT_TRUE(decision.plan);
  EXPECT_EQ(decision.plan->phoneTarget, "/mnt/sdcard/external_sd/mmcblk0p12.img");
  EXPECT_EQ(decision.message, kImageFileWarning);
  EXPECT_TRUE(decision.plan->pcFolder.empty());
}

TEST(DecidePartitionPlan, RawCopyGoesOntoTheCardsDevice) {
  const PlanDecision decision = DecidePartitionPlan(Partition("4194304"), Card("1K", "4194304"));
  ASSERT_TRUE(decision.plan);
  EXPECT_EQ(decision.plan->phoneTarget, "/dev/block/vold/179:97");
  EXPECT_EQ(decision.message, kRawCardWarning);
  EXPECT_FALSE(NeedsPcFolder(decision.plan->way));
}

TEST(DecidePartitionPlan, CardTooSmallAtOneKibShort) {
  EXPECT_EQ(DecidePartitionPlan(Partition("4194303"), Card("4194302K")).message,
            CardTooSmallMessage(4194303));
  EXPECT_EQ(DecidePartitionPlan(Partition("4194305"), Card("1G", "4194304")).message,
            CardTooSmallMessage(4194305));
  EXPECT_NE(CardTooSmallMessage(4194305).find("至少需要有4194305KB的空间"), std::string::npos);
}

TEST(DecidePartitionPlan, RefusesMissingCardBadFreeTextAndBadNumbers) {
  EXPECT_EQ(DecidePartitionPlan(Partition("100"), std::nullopt).message, kNoCardMessage);
  CardChoice noMount = Card();
  noMount.mountPoint.clear();
  EXPECT_EQ(DecidePartitionPlan(Partition("100"), noMount).message, kNoCardMessage);
  EXPECT_EQ(DecidePartitionPlan({"/dev/block/x", "", "100"}, Card()).message, kNoCardMessage);

  EXPECT_EQ(DecidePartitionPlan(Partition("100"), Card("1024")).message, kFreeSpaceTextMessage);
  CardChoice blocksLayout = Card("1024");
  blocksLayout.units = SpaceReportUnits::kKibBlocks;
  EXPECT_TRUE(DecidePartitionPlan(Partition("100"), blocksLayout).plan);

  for (const char* blocks : {"", "12a", "-5", "9007199254740992"}) {
    const PlanDecision decision = DecidePartitionPlan(Partition(blocks), Card());
    EXPECT_FALSE(decision.plan) << blocks;
    EXPECT_TRUE(decision.numberError) << blocks;
    EXPECT_EQ(decision.message, kNumberFormatMessage);
  }
  EXPECT_TRUE(DecidePartitionPlan(Partition("5000000"), Card("1G", "x")).numberError);
}

TEST(DecideFilePlan, JoinsFolderAndNameAndKeepsTheLength) {
  for (const char* size : {"4284967296", "4294967296", "0"}) {
    const PlanDecision decision = DecideFilePlan(" /data/data/x/databases ", "contacts2.db ", size);
    ASSERT_TRUE(decision.plan);
    EXPECT_EQ(decision.plan->way, ImagingWay::kFile);
    EXPECT_EQ(decision.plan->source, "/data/data/x/databases/contacts2.db");
    EXPECT_EQ(decision.plan->sizeBytes, *ParseWholeNumber(size));
    EXPECT_TRUE(NeedsPcFolder(decision.plan->way));
  }
  EXPECT_TRUE(DecideFilePlan("/data", "x", "179,   0").numberError);
  EXPECT_TRUE(DecideFilePlan("/data", "x", "").numberError);
}

TEST(LocalCopyPath, FolderAndTheNameAfterTheLastSlash) {
  ImagingPlan plan;
  plan.way = ImagingWay::kFile;
  plan.source = "/data/data/x/databases/my file.db";
  plan.pcFolder = "/home/examiner/案例 1/";
  EXPECT_EQ(LocalCopyPath(plan), "/home/examiner/案例 1/my file.db");
  plan.source = "noslash.db";
  EXPECT_EQ(LocalCopyPath(plan), "/home/examiner/案例 1/noslash.db");
  plan.way = ImagingWay::kImage;
  plan.phoneTarget = "/mnt/sdcard/mmcblk0p12.img";
  EXPECT_EQ(LocalCopyPath(plan), "/home/examiner/案例 1/mmcblk0p12.img");
  plan.way = ImagingWay::kRawCard;
  EXPECT_EQ(LocalCopyPath(plan), "");
}

}  // namespace
}  // namespace orv
