#include "device/storage_tree.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(SizeText, FollowsTheDigitCountOfTheBlocks) {
  const struct {
    const char* blocks;
    const char* text;
  } cases[] = {
      {"8", "8KB"},
      {"512", "512KB"},
      {"99999", "99999KB"},  // 5 digits: still KB
      {"100000", "100MB"},   // 6 digits: thousands
      {"123456", "123MB"},
      {"999999", "999MB"},
      {"1000000", "0.95GB"},  // 7 digits: GiB
      {"1048576", "1GB"},
      {"7634944", "7.28GB"},
      {"1153434", "1.1GB"},  // 1.1000003: trailing zero dropped
      {"15558144", "14.84GB"},
      {"1053818", "1GB"},     // just below 1.005 GiB
      {"1053819", "1.01GB"},  // just above 1.005 GiB
      {"0", "0KB"},
      {"", ""},
      {"12a", ""},
      {"-5", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SizeText(c.blocks), c.text) << c.blocks;
}

TEST(SizeText, TiesGoToTheEvenHundredth) {
  // 1179648 KiB is 1.125 GiB, a tie between 1.12 and 1.13 that goes to 1.12.
  EXPECT_EQ(SizeText("1179648"), "1.12GB");
  // 1.375 GiB = 1441792 KiB: a tie between 1.37 and 1.38 goes to 1.38.
  EXPECT_EQ(SizeText("1441792"), "1.38GB");
  // Twenty digits: no overflow, whole GiB.
  EXPECT_EQ(SizeText("18446744073709551615"), "17592186044415GB");
}

StorageEntry Entry(int serial, std::string name, std::string kind, std::string mountPoint = "",
                   std::string blocks = "512") {
  StorageEntry entry;
  entry.serial = serial;
  entry.name = std::move(name);
  entry.kind = std::move(kind);
  entry.mountPoint = std::move(mountPoint);
  entry.blocks = std::move(blocks);
  entry.fileSystem = "ext4";
  entry.free = "33M";
  return entry;
}

TEST(EntryCaption, NamesKindSizeMountAndSerial) {
  StorageEntry logical = Entry(3, "mmcblk0p24", "lj", "/system", "1048576");
  EXPECT_EQ(EntryCaption(logical),
            "逻辑盘     [mmcblk0p24] 文件系统:ext4 容量:1GB 挂载点:/system 空闲空间:33M 编号:3");
  logical.kind = "lj-sdn";
  EXPECT_EQ(EntryCaption(logical).substr(0, std::string("内部SD卡[").size()), "内部SD卡[");
  logical.kind = "lj-sdw";
  EXPECT_TRUE(EntryCaption(logical).starts_with("外部SD卡[mmcblk0p24] "));
  logical.kind = "otg";
  EXPECT_TRUE(EntryCaption(logical).starts_with("otg存储   [mmcblk0p24] "));
  const StorageEntry disk = Entry(12, "mmcblk0", "wl", "", "7634944");
  EXPECT_EQ(EntryCaption(disk), "物理盘     [mmcblk0] 容量:7.28GB 编号:12");
}

using Nodes = std::vector<StorageTreeNode>;

// (image, parent, entry) of every node, captions aside.
std::vector<std::array<int, 3>> Shape(const Nodes& nodes) {
  std::vector<std::array<int, 3>> shape;
  for (const StorageTreeNode& node : nodes) shape.push_back({node.image, node.parent, node.entry});
  return shape;
}

TEST(BuildStorageTree, EmptyModelGivesNoNodeAtAll) {
  EXPECT_TRUE(BuildStorageTree("我的手机[X]", {}).empty());
}

TEST(BuildStorageTree, PhysicalDiskHoldsLogicalDisksCardsBesideIt) {
  // /system, /cache, /data on mmcblk0, an SD card on mmcblk1, the disk last.
  const StorageModel model = {
      Entry(1, "mmcblk0p1", "lj", "/system"), Entry(2, "mmcblk0p2", "lj", "/cache"),
      Entry(3, "mmcblk0p3", "lj", "/data"), Entry(4, "mmcblk1p1", "lj-sdw", "/mnt/sdcard"),
      Entry(5, "mmcblk0", "wl")};
  const Nodes nodes = BuildStorageTree("我的手机[GT-P1010]", model);
  ASSERT_EQ(nodes.size(), 6u);
  EXPECT_EQ(nodes[0].caption, "我的手机[GT-P1010]");
  EXPECT_EQ(Shape(nodes), (std::vector<std::array<int, 3>>{
                              {0, -1, -1}, {1, 0, 4}, {2, 1, 0}, {2, 1, 1}, {2, 1, 2}, {3, 0, 3}}));
  EXPECT_TRUE(nodes[5].caption.ends_with(" 编号:4"));
}

TEST(BuildStorageTree, OnlyTheInternalCardGetsTheCardPicture) {
  const StorageModel model = {Entry(1, "mmcblk0p1", "lj", "/system"),
                              Entry(2, "mmcblk0p4", "lj-sdn", "/mnt/sdcard"),
                              Entry(3, "mmcblk0p2", "lj", "/data"), Entry(4, "mmcblk0", "wl")};
  EXPECT_EQ(
      Shape(BuildStorageTree("r", model)),
      (std::vector<std::array<int, 3>>{{0, -1, -1}, {1, 0, 3}, {2, 1, 0}, {3, 1, 1}, {2, 1, 2}}));
}

TEST(BuildStorageTree, OfTwoExternalCardsTheLastGoesBesideTheDisk) {
  const StorageModel model = {Entry(1, "mmcblk0p1", "lj", "/system"),
                              Entry(2, "mmcblk1p1", "lj-sdw", "/mnt/sdcard"),
                              Entry(3, "mmcblk2p1", "lj-sdw", "/mnt/sdcard2"),
                              Entry(4, "sda1", "otg", "/mnt/udisk"), Entry(5, "mmcblk0", "wl")};
  EXPECT_EQ(Shape(BuildStorageTree("r", model)),
            (std::vector<std::array<int, 3>>{
                {0, -1, -1}, {1, 0, 4}, {2, 1, 0}, {2, 1, 1}, {3, 0, 2}, {3, 0, 3}}));
}

TEST(BuildStorageTree, WithoutPhysicalDiskEverythingHangsFromTheRoot) {
  const StorageModel model = {
      Entry(1, "mmcblk0p49", "lj", "/cache"), Entry(2, "mmcblk1p1", "lj-sdw", "/mnt/sdcard"),
      Entry(3, "sda1", "otg", "/mnt/udisk"), Entry(4, "mmcblk0p50", "lj", "/data")};
  // OTG storage is placed like a logical disk; the external card comes last.
  EXPECT_EQ(
      Shape(BuildStorageTree("r", model)),
      (std::vector<std::array<int, 3>>{{0, -1, -1}, {2, 0, 0}, {2, 0, 3}, {2, 0, 2}, {3, 0, 1}}));
}

TEST(BuildStorageTree, OnlyTheFirstPhysicalDiskIsShown) {
  const StorageModel model = {Entry(1, "mmcblk0p1", "lj", "/system"), Entry(2, "mmcblk0", "wl"),
                              Entry(3, "xmmcblk0", "wl")};
  EXPECT_EQ(Shape(BuildStorageTree("r", model)),
            (std::vector<std::array<int, 3>>{{0, -1, -1}, {1, 0, 1}, {2, 1, 0}}));
}

}  // namespace
}  // namespace orv
