// Matching and classification of the storage model, from real phone outputs.

#include "device/storage_model.h"

#include <gtest/gtest.h>

#include <map>

#include "device/phone_samples.h"
#include "device/storage_tree.h"

namespace orv {
namespace {

using test::kAllLineEnds;
using test::LineEndName;
using test::PhoneSample;
using test::WithLineEnds;

// Records what the matching reports; answers `ls -l` from a table.
class RecordingSink : public StorageMatchSink {
 public:
  std::map<std::string, std::string> listings;  // device path -> ls -l output
  std::vector<std::string> events;              // "log type / text", "info caption image"
  std::vector<std::string> listed;

  void log(std::string_view type, std::string_view description) override {
    events.push_back(std::string(type) + " / " + std::string(description));
  }
  void info(std::string_view caption, int image) override {
    events.push_back("info " + std::string(caption) + " " + std::to_string(image));
  }
  void gaugeRange(std::size_t) override {}
  void gaugeAt(std::size_t) override {}
  std::string listDevice(const std::string& devicePath) override {
    listed.push_back(devicePath);
    const auto found = listings.find(devicePath);
    return found == listings.end() ? std::string() : found->second;
  }
};

// The by-name links of a phone, as `ls -l` of each link prints it.
void AddByNameListings(RecordingSink& sink, const std::string& folder, const std::string& listing,
                       test::LineEnd end) {
  std::size_t start = 0;
  while (start < listing.size()) {
    std::size_t stop = listing.find('\n', start);
    if (stop == std::string::npos) stop = listing.size();
    const std::string line = listing.substr(start, stop - start);
    const std::size_t arrow = line.find(" -> ");
    if (arrow != std::string::npos) {
      const std::size_t nameStart = line.rfind(' ', arrow - 1) + 1;
      sink.listings[folder + line.substr(nameStart, arrow - nameStart)] =
          WithLineEnds(line + "\n", end);
    }
    start = stop + 1;
  }
}

StorageEntry Entry(int serial, std::string major, std::string minor, std::string blocks,
                   std::string name, std::string fileSystem, std::string link,
                   std::string mountPoint, std::string path, std::string size, std::string used,
                   std::string free, std::string kind, std::string disk) {
  return {serial,          std::move(major),      std::move(minor), std::move(blocks),
          std::move(name), std::move(fileSystem), std::move(link),  std::move(mountPoint),
          std::move(path), std::move(size),       std::move(used),  std::move(free),
          std::move(kind), std::move(disk)};
}

StorageModel Build(const std::string& phone, const std::string& mountFile, RecordingSink& sink,
                   test::LineEnd end) {
  return BuildStorageModel(
      ParsePartitionTable(WithLineEnds(PhoneSample(phone, "proc-partitions.txt"), end)),
      ParseSpaceReport(WithLineEnds(PhoneSample(phone, "df.txt"), end)),
      ParseMountTable(WithLineEnds(PhoneSample(phone, mountFile), end)), sink);
}

TEST(BuildStorageModel, ByNameLinksInternalAndExternalCardAndPhysicalDisk) {
  const std::string phone = "huawei-g740-l00-android-4.1.2";
  const std::string byName = "/dev/block/platform/msm_sdcc.1/by-name/";
  for (const auto end : kAllLineEnds) {
    RecordingSink sink;
    AddByNameListings(sink, byName, PhoneSample(phone, "ls-l-by-name.txt"), end);
    sink.listings["/dev/block/vold/179:26"] =
        WithLineEnds("brw------- root     root     179,  26 2013-01-01 00:00 179:26\n", end);
    sink.listings["/dev/block/vold/179:33"] =
        WithLineEnds("brw------- root     root     179,  33 2013-01-01 00:00 179:33\n", end);
    const StorageModel model = Build(phone, "mount.txt", sink, end);
    const StorageModel expected = {
        Entry(1, "179", "24", "1048576", "mmcblk0p24", "ext4", byName + "system", "/system",
              "/dev/block/mmcblk0p24", "1009M", "603M", "405M", "lj", "mmcblk0"),
        Entry(2, "179", "25", "1155072", "mmcblk0p25", "ext4", byName + "userdata", "/data",
              "/dev/block/mmcblk0p25", "1G", "113M", "998M", "lj", "mmcblk0"),
        Entry(3, "179", "23", "196608", "mmcblk0p23", "ext4", byName + "cache", "/cache",
              "/dev/block/mmcblk0p23", "189M", "4M", "184M", "lj", "mmcblk0"),
        Entry(4, "179", "18", "8192", "mmcblk0p18", "ext4", byName + "persist", "/persist",
              "/dev/block/mmcblk0p18", "7M", "4M", "3M", "lj", "mmcblk0"),
        Entry(5, "179", "13", "65536", "mmcblk0p13", "vfat", byName + "modem", "/firmware",
              "/dev/block/mmcblk0p13", "63M", "44M", "19M", "lj", "mmcblk0"),
        Entry(6, "179", "22", "262144", "mmcblk0p22", "ext4", byName + "cust", "/cust",
              "/dev/block/mmcblk0p22", "252M", "52M", "199M", "lj", "mmcblk0"),
        Entry(7, "179", "26", "4780015", "mmcblk0p26", "vfat", "", "/storage/sdcard0",
              "/dev/block/vold/179:26", "4G", "2G", "2G", "lj-sdn", "mmcblk0"),
        Entry(8, "179", "33", "15557120", "mmcblk1p1", "vfat", "", "/storage/sdcard1",
              "/dev/block/vold/179:33", "14G", "5G", "9G", "lj-sdw", "mmcblk1"),
        Entry(9, "179", "0", "7634944", "mmcblk0", "", "", "", "/dev/block/mmcblk0", "", "", "",
              "wl", ""),
    };
    ASSERT_EQ(model.size(), expected.size()) << LineEndName(end);
    for (std::size_t i = 0; i < model.size(); ++i)
      EXPECT_EQ(model[i], expected[i]) << i << LineEndName(end);
    // tmpfs of /dev, /mnt/asec, /mnt/obb never reach the phone's shell.
    EXPECT_EQ(sink.listed.size(), 9u);
    EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(),
                         "卷标路径 / 获取安卓操作系统逻辑盘的卷标路径信息失败"),
              3);
    EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(), "info 内部SD卡数量:1 11"), 1);
    EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(), "info 外部SD卡数量:1 11"), 1);

    const auto nodes = BuildStorageTree("我的手机[G740]", model);
    ASSERT_EQ(nodes.size(), 10u);
    EXPECT_EQ(nodes[1].caption, "物理盘     [mmcblk0] 容量:7.28GB 编号:9");
    EXPECT_EQ(nodes[8].caption,
              "内部SD卡[mmcblk0p26] 文件系统:vfat 容量:4.56GB 挂载点:/storage/sdcard0 "
              "空闲空间:2G 编号:7");
    EXPECT_EQ(nodes[8].image, kTreeImageCard);
    EXPECT_EQ(nodes[9].parent, 0);
    EXPECT_EQ(nodes[9].entry, 7);
  }
}

TEST(BuildStorageModel, PlainDevicesAndAVoldCardOnTheSystemDisk) {
  const std::string phone = "freescale-imx6q-sabresd-android-4.0.4";
  for (const auto end : kAllLineEnds) {
    RecordingSink sink;  // no device is a link
    const StorageModel model = Build(phone, "mount.txt", sink, end);
    ASSERT_EQ(model.size(), 5u) << LineEndName(end);
    EXPECT_EQ(model[0], Entry(1, "179", "29", "524287", "mmcblk1p5", "ext4", "", "/system",
                              "/dev/block/mmcblk1p5", "275M", "163M", "112M", "lj", "mmcblk1"));
    EXPECT_EQ(model[1].mountPoint, "/data");
    EXPECT_EQ(model[2].mountPoint, "/cache");
    // /device is a plain device at no system mount point: no entry.
    EXPECT_EQ(model[3], Entry(4, "179", "28", "4784128", "mmcblk1p4", "vfat", "", "/mnt/sdcard",
                              "/dev/block/vold/179:28", "4G", "1M", "4G", "lj-sdn", "mmcblk1"));
    EXPECT_EQ(model[4], Entry(5, "179", "24", "7761920", "mmcblk1", "", "", "",
                              "/dev/block/mmcblk1", "", "", "", "wl", ""));
  }
}

TEST(BuildStorageModel, SixColumnsOfAnAndroid11Phone) {
  const std::string phone = "samsung-sm-x200-android-11";
  for (const auto end : kAllLineEnds) {
    RecordingSink sink;
    const StorageModel model = Build(phone, "proc-mounts.txt", sink, end);
    ASSERT_EQ(model.size(), 2u) << LineEndName(end);
    EXPECT_EQ(model[0], Entry(1, "259", "42", "204800", "mmcblk0p49", "ext4", "", "/cache",
                              "/dev/block/mmcblk0p49", "197472", "72", "197400", "lj", ""));
    EXPECT_EQ(model[1], Entry(2, "253", "43", "22815724", "dm-43", "f2fs", "", "/data",
                              "/dev/block/dm-43", "4192256", "2777976", "1414280", "lj", ""));
    EXPECT_TRUE(sink.listed.empty());  // the six-column layout names its devices itself
  }
}

// A vold card on another disk than /system; 179:97 must not match 179:9.
TEST(BuildStorageModel, VoldNumbersAreComparedAsNumbers) {
  RecordingSink sink;
  const StorageModel model = BuildStorageModel(
      ParsePartitionTable(" 179 0 7634944 mmcblk0\n 179 9 4096 mmcblk0p9\n"
                          " 179 12 1048576 mmcblk0p12\n 179 96 100 mmcblk1\n"
                          " 179 97 15000000 mmcblk1p1\n"),
      ParseSpaceReport("Filesystem Size Used Free Blksize\n/system 1G 1G 0K 4096\n"
                       "/mnt/sdcard 14G 5G 9G 32768\n/mnt/sdcard2 1G 0K 1G 4096\n"
                       "/mnt/udisk 1G 0K 1G 4096\n"),
      ParseMountTable("/dev/block/mmcblk0p12 /system ext4 ro 0 0\n"
                      "/dev/block/vold/179:97 /mnt/sdcard vfat rw 0 0\n"
                      "/dev/block/vold/179:98 /mnt/sdcard2 vfat rw 0 0\n"
                      "/dev/block/vold/179:9 /mnt/udisk vfat rw 0 0\n"),
      sink);
  ASSERT_EQ(model.size(), 4u);
  EXPECT_EQ(model[1].name, "mmcblk1p1");
  EXPECT_EQ(model[1].kind, "lj-sdw");
  EXPECT_EQ(model[1].disk, "mmcblk1");
  EXPECT_EQ(model[2].name, "mmcblk0p9");  // 179:9 at an OTG mount point
  EXPECT_EQ(model[2].kind, "otg");
  EXPECT_EQ(model[2].disk, "mmcblk0");
  EXPECT_EQ(model[3].kind, "wl");
  EXPECT_EQ(model[3].name, "mmcblk0");
  EXPECT_NE(std::find(sink.events.begin(), sink.events.end(),
                      "外部OTG存储 / 获取安卓操作系统外部OTG存储信息成功"),
            sink.events.end());
}

TEST(BuildStorageModel, WithoutSystemThereIsNoDiskAndCardsAreExternal) {
  RecordingSink sink;
  const StorageModel model =
      BuildStorageModel(ParsePartitionTable(" 179 0 7634944 mmcblk0\n 179 2 1048576 mmcblk0p2\n"
                                            " 179 3 1048576 mmcblk0p3\n"),
                        ParseSpaceReport("Filesystem Size Used Free Blksize\n/data 1G 1G 0K 4096\n"
                                         "/mnt/sdcard 1G 0K 1G 4096\n"),
                        ParseMountTable("/dev/block/mmcblk0p2 /data ext4 rw 0 0\n"
                                        "/dev/block/vold/179:3 /mnt/sdcard vfat rw 0 0\n"),
                        sink);
  ASSERT_EQ(model.size(), 2u);
  EXPECT_EQ(model[0].kind, "lj");
  EXPECT_EQ(model[0].disk, "");
  EXPECT_EQ(model[1].kind, "lj-sdw");
  EXPECT_EQ(model[1].disk, "mmcblk0");
}

TEST(BuildStorageModel, UnsafeDevicePathsNeverReachThePhone) {
  RecordingSink sink;
  const StorageModel model = BuildStorageModel(
      ParsePartitionTable(" 179 1 1048576 mmcblk0p1\n"),
      ParseSpaceReport("Filesystem Size Used Free Blksize\n/system 1G 1G 0K 4096\n"),
      ParseMountTable("/dev/block/mmcblk0p1;reboot /system ext4 ro 0 0\n"), sink);
  EXPECT_TRUE(model.empty());
  EXPECT_TRUE(sink.listed.empty());
  EXPECT_EQ(sink.events,
            (std::vector<std::string>{"挂载盘符 / 获取安卓操作系统挂载盘符信息成功",
                                      "卷标路径 / 获取安卓操作系统逻辑盘的卷标路径信息失败"}));
}

TEST(BuildStorageModel, NothingFromGarbage) {
  RecordingSink sink;
  EXPECT_TRUE(BuildStorageModel(ParsePartitionTable("x\ny\n"), ParseSpaceReport("a b c\n"),
                                ParseMountTable("\n\n"), sink)
                  .empty());
  EXPECT_TRUE(BuildStorageModel(ParsePartitionTable(""),
                                ParseSpaceReport("Filesystem Size Used Free Blksize\n/system\n"),
                                ParseMountTable("/dev/block/x /system ext4 ro\n"), sink)
                  .empty());
}

}  // namespace
}  // namespace orv
