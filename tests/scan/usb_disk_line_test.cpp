#include "scan/usb_disk_line.h"

#include <gtest/gtest.h>

#include <map>

#include "fixtures/sysfs_fixture.h"
#include "scan/scan_source.h"

namespace orv {
namespace {

TEST(UsbDiskLineTest, FixtureTreeListsCardsAndSticksUnderTwoTebibytes) {
  const std::vector<DiskInfo> all = ListDisks(testing::SysfsFixturePlaces());
  const std::vector<DiskInfo> listed = ListChoosableDisks(testing::SysfsFixturePlaces());
  std::map<std::string, std::string> lineOf;
  for (const DiskInfo& disk : listed) lineOf[disk.kernelName] = UsbDiskLine(disk);
  // Every disk the system lists, whether the chooser offers it, and its line.
  const struct {
    const char* name;
    const char* line;  // empty: not offered
  } cases[] = {
      {"sda", ""},  // SATA
      {"sdb", "USB  1:Mass Storage Device (7.40 GB，USB)"},
      {"sdd", "USB  3:MS/MS-Pro (59.48 GB，USB)"},  // the full slot of the card reader
      {"sde", ""},                                  // 3 TB, 2^32 sectors and more
      {"sdf", "USB  5:DT 101 G2 (512.00 MB，USB)"},
      {"sdg", "USB  6:JumpDrive (32.00 MB，USB)"},
      {"sdh", ""},                                       // exactly 2 TiB
      {"sdi", "USB  8:Extreme SDXC (2048.00 GB，USB)"},  // one sector less
      {"sdj", "USB  9:Store n Go (999.00 MB，USB)"},
      {"sdk", "USB  10:Store n Go (0.98 GB，USB)"},  // 1000 MB
      {"mmcblk0", "USB  200:SL32G (29.72 GB，SD)"},  // the built-in card reader
      {"nvme0n1", ""},
      {"vda", ""},
  };
  ASSERT_EQ(all.size(), std::size(cases));
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].kernelName, cases[i].name);
    const auto found = lineOf.find(cases[i].name);
    EXPECT_EQ(found == lineOf.end() ? "" : found->second, cases[i].line) << cases[i].name;
  }
  ASSERT_EQ(listed.size(), 8u);
  // The number of a line finds its disk again.
  for (const DiskInfo& disk : listed) EXPECT_EQ(ParseUsbDiskLine(UsbDiskLine(disk)), disk.number);
}

TEST(UsbDiskLineTest, SizeTextsAtTheUnitChange) {
  const struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {1, "0.00 MB"},
      {32ull << 20, "32.00 MB"},
      {999ull << 20, "999.00 MB"},
      {(1000ull << 20) - 1, "1000.00 MB"},  // just below 1000 MB, rounded
      {1000ull << 20, "0.98 GB"},
      {7946108928ull, "7.40 GB"},
      {(1ull << 41) - 512, "2048.00 GB"},
      {3000592982016ull, "2794.52 GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(DiskSizeText(c.bytes), c.text) << c.bytes;
}

TEST(UsbDiskLineTest, ChoosableDisksAtTheSizeLimits) {
  DiskInfo disk;
  disk.number = 1;
  disk.bus = "USB";
  const struct {
    std::uint64_t bytes;
    const char* bus;
    bool choosable;
  } cases[] = {
      {0, "USB", false},
      {512, "USB", true},
      {kLargestChoosableBytes - 512, "USB", true},
      {kLargestChoosableBytes - 1, "SD", true},
      {kLargestChoosableBytes, "USB", false},
      {512, "ATA", false},
      {512, "NVMe", false},
      {512, "Unknow", false},
  };
  for (const auto& c : cases) {
    disk.sizeBytes = c.bytes;
    disk.bus = c.bus;
    EXPECT_EQ(IsChoosableDisk(disk), c.choosable) << c.bytes << " " << c.bus;
  }
  disk.sizeBytes = 512;
  disk.bus = "USB";
  disk.number.reset();
  EXPECT_FALSE(IsChoosableDisk(disk));  // a disk the scan path could not name
}

TEST(ScanPathTest, TextsNameAFileOrADisk) {
  using Kind = ScanSource::Kind;
  const struct {
    const char* text;
    Kind kind;
    std::optional<unsigned> number;
    const char* path;
  } cases[] = {
      {"USB  1:Mass Storage Device (7.40 GB，USB)", Kind::kDisk, 1u, ""},
      {"USB  999:x", Kind::kDisk, 999u, ""},  // refused when the scan opens it
      {"USB  0:", Kind::kDisk, 0u, ""},
      {"USB  1000:x", Kind::kFile, std::nullopt, "USB  1000:x"},
      {"USB 3: one blank", Kind::kFile, std::nullopt, "USB 3: one blank"},
      {"USB  x:", Kind::kFile, std::nullopt, "USB  x:"},
      {"USB  3 no colon", Kind::kFile, std::nullopt, "USB  3 no colon"},
      {" USB  3:", Kind::kFile, std::nullopt, " USB  3:"},
      {"/media/user/USB DISK/phone.img", Kind::kFile, std::nullopt,
       "/media/user/USB DISK/phone.img"},
      {"/home/user/USB  2:backup.img", Kind::kFile, std::nullopt, "/home/user/USB  2:backup.img"},
      {"D:\\USB\\phone.img", Kind::kFile, std::nullopt, "D:\\USB\\phone.img"},
      {"", Kind::kFile, std::nullopt, ""},
      {"/dev/sdb", Kind::kDisk, std::nullopt, "/dev/sdb"},
      {"/dev/mmcblk0", Kind::kDisk, std::nullopt, "/dev/mmcblk0"},
      {"\\\\.\\PhysicalDrive2", Kind::kDisk, std::nullopt, "\\\\.\\PhysicalDrive2"},
      {"\\\\.\\PhysicalDrive", Kind::kFile, std::nullopt, "\\\\.\\PhysicalDrive"},
      {"/dev/sdb1", Kind::kFile, std::nullopt, "/dev/sdb1"},  // a partition is read as a file
      {"/dev/loop0", Kind::kFile, std::nullopt, "/dev/loop0"},
  };
  for (const auto& c : cases) {
    const ScanSource source(c.text);
    EXPECT_EQ(source.kind, c.kind) << c.text;
    EXPECT_EQ(source.diskNumber, c.number) << c.text;
    EXPECT_EQ(source.path, c.path) << c.text;
    EXPECT_EQ(source.text, c.text);
    EXPECT_FALSE(source.listed) << c.text;
  }
}

TEST(ScanPathTest, AChosenDiskCarriesWhatWasListed) {
  const std::vector<DiskInfo> listed = ListChoosableDisks(testing::SysfsFixturePlaces());
  ASSERT_FALSE(listed.empty());
  const ScanSource source = ScanSource::ChosenDisk(listed.front());
  EXPECT_EQ(source.kind, ScanSource::Kind::kDisk);
  EXPECT_EQ(source.text, "USB  1:Mass Storage Device (7.40 GB，USB)");
  EXPECT_EQ(source.path, "/dev/sdb");
  EXPECT_EQ(source.diskNumber, 1u);
  ASSERT_TRUE(source.listed);
  EXPECT_EQ(source.listed->sizeBytes, 7946108928ull);
  EXPECT_EQ(source.listed->model, "Mass Storage Device");
  EXPECT_EQ(source.listed->serial, "AA0000000001");
  // A file whose name looks like a disk line stays a file when chosen as one.
  EXPECT_EQ(ScanSource::File("USB  1:x").kind, ScanSource::Kind::kFile);
}

}  // namespace
}  // namespace orv
