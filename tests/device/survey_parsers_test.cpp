// The partition table, the space report and the mount table, read from real
// phone outputs with every line end.

#include <gtest/gtest.h>

#include "device/mount_table.h"
#include "device/partition_table.h"
#include "device/phone_samples.h"
#include "device/space_report.h"

namespace orv {
namespace {

using test::kAllLineEnds;
using test::LineEndName;
using test::PhoneSample;
using test::WithLineEnds;

TEST(ParsePartitionTable, ReadsEveryRealTable) {
  const struct {
    const char* phone;
    std::size_t count;
    Partition last;
  } tables[] = {
      {"freescale-imx6q-sabresd-android-4.0.4",
       13,
       {"259", "1", "8191", "mmcblk1p9", {259, 1}, 8191}},
      {"huawei-g740-l00-android-4.1.2",
       29,
       {"179", "33", "15557120", "mmcblk1p1", {179, 33}, 15557120}},
      {"mediatek-mt6580-k80bsp-headunit-android-8.1.0",
       32,
       {"8", "17", "7815168", "sdb1", {8, 17}, 7815168}},
      {"samsung-gt-p1010-android-2.2.2", 33, {"138", "11", "32000", "stl11", {138, 11}, 32000}},
      {"samsung-sm-x200-android-11", 128, {"253", "44", "75508", "dm-44", {253, 44}, 75508}},
      {"unknown-spreadtrum-sc77xx-android-5.x", 37, {"254", "2", "4180", "dm-2", {254, 2}, 4180}},
  };
  for (const auto& table : tables) {
    const std::string text = PhoneSample(table.phone, "proc-partitions.txt");
    for (const auto end : kAllLineEnds) {
      const PartitionTable parsed = ParsePartitionTable(WithLineEnds(text, end));
      ASSERT_EQ(parsed.partitions.size(), table.count) << table.phone << LineEndName(end);
      EXPECT_EQ(parsed.partitions.back(), table.last) << table.phone << LineEndName(end);
      EXPECT_EQ(parsed.droppedLines, 0u) << table.phone;
    }
  }
}

TEST(ParsePartitionTable, KeepsNamesWithSlashesAndDropsWhatIsNoPartition) {
  const PartitionTable parsed = ParsePartitionTable(
      "major minor  #blocks  name\r\r\n\r\r\n"
      " 139        0     513024 tfsr0/c\r\r\n"
      " 179        x      256 mmcblk0p1\r\r\n"  // minor not a number
      " 0x3        1      256 mmcblk0p2\r\r\n"  // hexadecimal
      " 179        3      -12 mmcblk0p3\r\r\n"  // sign
      " 179        4      256\r\r\n"            // no name
      " 4294967296 0      256 big\r\r\n"        // major above 32 bits
      " 179 4294967295 18446744073709551615 huge name\r\r\n"
      "garbage\r\r\n");
  ASSERT_EQ(parsed.partitions.size(), 2u);
  EXPECT_EQ(parsed.partitions[0].name, "tfsr0/c");
  EXPECT_EQ(parsed.partitions[1].name, "huge name");
  EXPECT_EQ(parsed.partitions[1].numbers, (DeviceNumbers{179, 4294967295u}));
  EXPECT_EQ(parsed.partitions[1].blockCount, 18446744073709551615ull);
  EXPECT_EQ(parsed.droppedLines, 6u);
}

TEST(FindPartition, ByWholeLastComponentAndByNumbers) {
  const PartitionTable table = ParsePartitionTable(
      " 179 9 4096 mmcblk0p9\n 179 97 4096 mmcblk0p97\n 139 0 5 tfsr0/c\n 179 1 5 mmcblk0p1\n");
  EXPECT_EQ(FindPartitionOfPath(table, "/dev/block/mmcblk0p97")->name, "mmcblk0p97");
  EXPECT_EQ(FindPartitionOfPath(table, "/dev/block/mmcblk0p9")->name, "mmcblk0p9");
  EXPECT_EQ(FindPartitionOfPath(table, "/dev/block/tfsr0/c")->name, "tfsr0/c");
  EXPECT_EQ(FindPartitionOfPath(table, "mmcblk0p1")->name, "mmcblk0p1");
  EXPECT_EQ(FindPartitionOfPath(table, "/dev/block/xmmcblk0p1"), nullptr);
  EXPECT_EQ(FindPartitionOfPath(table, "/dev/block/mmcblk0p11"), nullptr);
  // 179:97 is not 179:9, whatever a substring test says.
  EXPECT_EQ(FindPartitionByNumbers(table, {179, 97})->name, "mmcblk0p97");
  EXPECT_EQ(FindPartitionByNumbers(table, {179, 9})->name, "mmcblk0p9");
  EXPECT_EQ(FindPartitionByNumbers(table, {179, 2}), nullptr);
  EXPECT_EQ(FindPartitionByName(table, "tfsr0/c")->minor, "0");
}

TEST(DeviceNumbersFromPath, ReadsTheLastComponentAsIntegers) {
  EXPECT_EQ(DeviceNumbersFromPath("/dev/block/vold/179:97"), (DeviceNumbers{179, 97}));
  EXPECT_EQ(DeviceNumbersFromPath("179:9"), (DeviceNumbers{179, 9}));
  EXPECT_EQ(DeviceNumbersFromPath("/dev/block/vold/public:179,129"), std::nullopt);
  EXPECT_EQ(DeviceNumbersFromPath("/dev/179:9/x"), std::nullopt);
  EXPECT_EQ(DeviceNumbersFromPath("/dev/block/vold/179:"), std::nullopt);
  EXPECT_EQ(DeviceNumbersFromPath("/dev/block/vold/:9"), std::nullopt);
  EXPECT_EQ(DeviceNumbersFromPath("/dev/block/vold/179:4294967296"), std::nullopt);
}

TEST(ParseSpaceReport, FiveColumnsFromRealPhones) {
  const std::string text = PhoneSample("huawei-g740-l00-android-4.1.2", "df.txt");
  for (const auto end : kAllLineEnds) {
    const SpaceReport report = ParseSpaceReport(WithLineEnds(text, end));
    EXPECT_EQ(report.layout, SpaceLayout::kFiveColumns) << LineEndName(end);
    ASSERT_EQ(report.rows.size(), 12u) << LineEndName(end);
    EXPECT_EQ(report.rows[3], (SpaceRow{"", "/system", "1009M", "603M", "405M"}));
    EXPECT_EQ(report.rows[10], (SpaceRow{"", "/storage/sdcard1", "14G", "5G", "9G"}));
  }
}

TEST(ParseSpaceReport, SixColumnsFromARealPhone) {
  const std::string text = PhoneSample("samsung-sm-x200-android-11", "df.txt");
  for (const auto end : kAllLineEnds) {
    const SpaceReport report = ParseSpaceReport(WithLineEnds(text, end));
    EXPECT_EQ(report.layout, SpaceLayout::kSixColumns) << LineEndName(end);
    ASSERT_EQ(report.rows.size(), 59u) << LineEndName(end);
    EXPECT_EQ(report.rows[0], (SpaceRow{"/dev/block/dm-4", "/", "3694388", "3674064", "20324"}));
    EXPECT_EQ(report.rows[14],
              (SpaceRow{"/dev/block/mmcblk0p49", "/cache", "197472", "72", "197400"}));
  }
}

TEST(ParseSpaceReport, JoinsAWrappedDeviceNameWithItsNumbers) {
  const SpaceReport report = ParseSpaceReport(
      "Filesystem           1K-blocks      Used Available Use% Mounted on\r\r\n"
      "/dev/block/platform/msm_sdcc.1/by-name/system\r\r\n"
      "                        1032088    617492    414596  60% /system\r\r\n"
      "tmpfs                    412672        32    412640   0% /dev\r\r\n"
      "/dev/block/vold/179:97\r\r\n");  // wrapped, numbers missing
  ASSERT_EQ(report.rows.size(), 3u);
  EXPECT_EQ(report.rows[0], (SpaceRow{"/dev/block/platform/msm_sdcc.1/by-name/system", "/system",
                                      "1032088", "617492", "414596"}));
  EXPECT_EQ(report.rows[1], (SpaceRow{"tmpfs", "/dev", "412672", "32", "412640"}));
  EXPECT_EQ(report.rows[2], (SpaceRow{"/dev/block/vold/179:97", "", "", "", ""}));
}

TEST(ParseSpaceReport, OtherHeadersGiveNoLayout) {
  for (const std::string& text :
       {std::string(), std::string("\r\r\n\r\r\n"),
        std::string("Filesystem Size Used Free\n/system 1M 1M 0M\n"),            // 4 words
        std::string("Filesystem 1K-blocks Used Available Use% Mounted\n"),       // 6 words
        std::string("Filesystem 1K-blocks Used Available Use% Mounted on x\n"),  // 8 words
        PhoneSample("samsung-gt-p1010-android-2.2.2", "df.txt")}) {
    const SpaceReport report = ParseSpaceReport(text);
    EXPECT_EQ(report.layout, SpaceLayout::kUnknown) << text;
    EXPECT_TRUE(report.rows.empty());
  }
  // Five words: a header with nothing below is still a report.
  EXPECT_EQ(ParseSpaceReport("Filesystem Size Used Free Blksize\r\r\n").layout,
            SpaceLayout::kFiveColumns);
}

TEST(ParseMountTable, ReadsToolboxAndToyboxLines) {
  const struct {
    const char* phone;
    const char* file;
    std::size_t lines;
    MountLine system;
  } tables[] = {
      {"huawei-g740-l00-android-4.1.2",
       "mount.txt",
       19,
       {"/dev/block/platform/msm_sdcc.1/by-name/system", "/system", "ext4"}},
      {"mediatek-mt6580-k80bsp-headunit-android-8.1.0",
       "mount.txt",
       27,
       {"/dev/block/mmcblk0p22", "/system", "ext4"}},
      {"samsung-gt-p1010-android-2.2.2", "mount.txt", 18, {"/dev/block/stl9", "/system", "rfs"}},
      {"freescale-imx6q-sabresd-android-4.0.4",
       "mount.txt",
       18,
       {"/dev/block/mmcblk1p5", "/system", "ext4"}},
  };
  for (const auto& table : tables) {
    const std::string text = PhoneSample(table.phone, table.file);
    for (const auto end : kAllLineEnds) {
      const std::vector<MountLine> mounts = ParseMountTable(WithLineEnds(text, end));
      EXPECT_EQ(mounts.size(), table.lines) << table.phone << LineEndName(end);
      const MountLine* system = FindMount(mounts, "/system");
      ASSERT_NE(system, nullptr) << table.phone;
      EXPECT_EQ(*system, table.system) << table.phone << LineEndName(end);
    }
  }
}

TEST(ParseMountTable, FindsTheFirstExactMountPoint) {
  const std::vector<MountLine> mounts = ParseMountTable(
      "tmpfs /mnt/sdcard/.android_secure tmpfs ro 0 0\n"
      "/dev/block/vold/179:28 /mnt/sdcard vfat rw 0 0\n"
      "/dev/block/vold/179:29 /mnt/sdcard vfat rw 0 0\n"
      "short line\n");
  ASSERT_EQ(mounts.size(), 3u);
  EXPECT_EQ(FindMount(mounts, "/mnt/sdcard")->device, "/dev/block/vold/179:28");
  EXPECT_EQ(FindMount(mounts, "/mnt"), nullptr);
  EXPECT_EQ(FindMount(mounts, "/mnt/sdcard/"), nullptr);
}

}  // namespace
}  // namespace orv
