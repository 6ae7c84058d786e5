#include "imaging/storage_choice.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

StorageEntry Entry(int serial, std::string name, std::string blocks, std::string mount,
                   std::string path, std::string size, std::string free, std::string_view kind) {
  StorageEntry entry;
  entry.serial = serial;
  entry.name = std::move(name);
  entry.blocks = std::move(blocks);
  entry.mountPoint = std::move(mount);
  entry.path = std::move(path);
  entry.size = std::move(size);
  entry.free = std::move(free);
  entry.kind = std::string(kind);
  return entry;
}

StorageModel Model() {
  return {Entry(1, "mmcblk0p12", "786432", "/system", "/dev/block/mmcblk0p12", "768.0M", "1M",
                kKindLogical),
          Entry(2, "mmcblk0p14", "5000000", "/data", "/dev/block/mmcblk0p14", "4.7G", "1G",
                kKindLogical),
          Entry(3, "mmcblk1p1", "7774208", "/mnt/sdcard", "/dev/block/vold/179:97", "7.4G", "7.4G",
                kKindExternalSd)};
}

std::vector<StorageTreeNode> Tree() {
  return {{"我的手机[GT-P1010]", 0, kNoParent, kNoEntry},
          {"逻辑盘[system] 768MB 编号:1", 2, 0, 0},
          {"逻辑盘[data] 4.77GB 编号:2", 2, 0, 1},
          {"外部SD卡 7.41GB 编号:3", 3, 0, 2}};
}

TEST(DecideStoragePlan, TakesTheNodesOwnEntry) {
  const PlanDecision system = DecideStoragePlan(Tree(), 1, Model());
  ASSERT_TRUE(system.plan) << system.message;
  EXPECT_EQ(system.plan->source, "/dev/block/mmcblk0p12");
  EXPECT_EQ(system.plan->phoneTarget, "/mnt/sdcard/mmcblk0p12.img");
  EXPECT_EQ(system.plan->way, ImagingWay::kImage);

  const PlanDecision data = DecideStoragePlan(Tree(), 2, Model());
  ASSERT_TRUE(data.plan) << data.message;
  EXPECT_EQ(data.plan->way, ImagingWay::kRawCard);
  EXPECT_EQ(data.plan->phoneTarget, "/dev/block/vold/179:97");
}

TEST(DecideStoragePlan, ACaptionEndingInAnotherSerialDoesNotMisleadIt) {
  std::vector<StorageTreeNode> tree = Tree();
  tree[1].caption = "逻辑盘[system] 768MB 编号:100";  // the entry index still says row 0
  const PlanDecision decision = DecideStoragePlan(tree, 1, Model());
  ASSERT_TRUE(decision.plan);
  EXPECT_EQ(decision.plan->source, "/dev/block/mmcblk0p12");
}

TEST(DecideStoragePlan, RefusesPhoneCardAndCardlessTrees) {
  EXPECT_EQ(DecideStoragePlan(Tree(), 0, Model()).message, kPhoneChosenMessage);
  EXPECT_EQ(DecideStoragePlan(Tree(), 3, Model()).message, kCardChosenMessage);
  EXPECT_EQ(DecideStoragePlan(Tree(), 4, Model()).message, kNothingChosenMessage);
  std::vector<StorageTreeNode> noCard = Tree();
  noCard.pop_back();
  EXPECT_EQ(DecideStoragePlan(noCard, 1, Model()).message, kNoCardMessage);
  StorageModel cardless = Model();
  cardless.pop_back();
  EXPECT_EQ(DecideStoragePlan(Tree(), 1, cardless).message, kNoCardMessage);
}

TEST(ImagingCard, PrefersOtgAndTellsTheSpaceReportsUnits) {
  StorageModel model = Model();
  EXPECT_EQ(ImagingCard(model)->units, SpaceReportUnits::kWithUnitLetter);
  model.push_back(Entry(4, "sda1", "15000000", "/mnt/usb_otg", "/dev/block/vold/8:1", "14999000",
                        "14000000", kKindOtg));
  const std::optional<CardChoice> card = ImagingCard(model);
  ASSERT_TRUE(card);
  EXPECT_EQ(card->path, "/dev/block/vold/8:1");
  EXPECT_EQ(card->units, SpaceReportUnits::kKibBlocks);
}

}  // namespace
}  // namespace orv
