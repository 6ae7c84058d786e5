#include "platform/disk_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "fixtures/sysfs_fixture.h"
#include "platform/disk_numbering.h"

namespace orv {
namespace {

TEST(DiskNumberingTest, KernelNamesHaveStableNumbers) {
  const struct {
    const char* name;
    std::optional<unsigned> number;
  } cases[] = {
      {"sda", 0u},
      {"sdb", 1u},
      {"sdz", 25u},
      {"sdaa", 26u},
      {"sdaz", 51u},
      {"sdba", 52u},
      {"sdgr", 199u},
      {"sdgs", std::nullopt},
      {"sdzz", std::nullopt},
      {"sdaaa", std::nullopt},
      {"mmcblk0", 200u},
      {"mmcblk9", 209u},
      {"mmcblk55", 255u},
      {"mmcblk56", std::nullopt},
      {"mmcblk100", std::nullopt},
      {"mmcblk01", std::nullopt},
      {"mmcblk", std::nullopt},
      {"mmcblk0p1", std::nullopt},
      {"sda1", std::nullopt},
      {"sd", std::nullopt},
      {"sdA", std::nullopt},
      {"nvme0n1", std::nullopt},
      {"vda", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(LinuxDiskNumber(c.name), c.number) << c.name;
}

TEST(DiskNumberingTest, EveryNumberRoundTripsThroughItsName) {
  for (unsigned n = 0; n <= kMaxDiskNumber; ++n) {
    const auto name = LinuxDiskName(n);
    ASSERT_TRUE(name) << n;
    EXPECT_EQ(LinuxDiskNumber(*name), n) << *name;
  }
  EXPECT_EQ(LinuxDiskName(199), "sdgr");
  EXPECT_EQ(LinuxDiskName(200), "mmcblk0");
  EXPECT_FALSE(LinuxDiskName(kMaxDiskNumber + 1));
}

TEST(DiskListTest, FixtureTreeDescribesEveryWholeDisk) {
  const std::vector<DiskInfo> disks = ListDisks(testing::SysfsFixturePlaces("/dev"));
  std::vector<std::string> names;
  for (const DiskInfo& disk : disks) names.push_back(disk.kernelName);
  // In number order, the disks without a number last; the empty slot sdc and
  // the virtual and optical devices are left out.
  EXPECT_EQ(names, (std::vector<std::string>{"sda", "sdb", "sdd", "sde", "sdf", "sdg", "sdh", "sdi",
                                             "sdj", "sdk", "mmcblk0", "nvme0n1", "vda"}));
  const auto find = [&](const std::string& name) {
    return *std::find_if(disks.begin(), disks.end(),
                         [&](const DiskInfo& d) { return d.kernelName == name; });
  };
  const struct {
    const char* name;
    const char* bus;
    std::uint64_t bytes;
    bool removable;
    const char* vendor;
    const char* model;
    const char* revision;
    const char* serial;
  } cases[] = {
      {"sda", "ATA", 976773168ull * 512, false, "ATA", "Samsung SSD 860", "4B6Q", ""},
      {"sdb", "USB", 15519744ull * 512, true, "Generic", "Mass Storage Device", "1.00",
       "AA0000000001"},
      {"sdd", "USB", 124735488ull * 512, true, "Generic-", "MS/MS-Pro", "1.00", "CR0001"},
      // 2^32 sectors and more: the size does not wrap.
      {"sde", "USB", 3000592982016ull, false, "WD", "Elements 25A3", "1.00", "WD3TB0001"},
      {"mmcblk0", "SD", 62333952ull * 512, false, "", "SL32G", "0x0", "0x12345678"},
      {"nvme0n1", "NVMe", 1000215216ull * 512, false, "", "WDC PC SN730", "", "NV0001"},
      {"vda", "Unknow", 41943040ull * 512, false, "", "", "", ""},
  };
  for (const auto& c : cases) {
    const DiskInfo disk = find(c.name);
    EXPECT_EQ(disk.node, std::string("/dev/") + c.name);
    EXPECT_EQ(disk.bus, c.bus) << c.name;
    EXPECT_EQ(disk.sizeBytes, c.bytes) << c.name;
    EXPECT_EQ(disk.removable, c.removable) << c.name;
    EXPECT_EQ(disk.vendor, c.vendor) << c.name;
    EXPECT_EQ(disk.model, c.model) << c.name;
    EXPECT_EQ(disk.revision, c.revision) << c.name;
    EXPECT_EQ(disk.serial, c.serial) << c.name;
    EXPECT_EQ(disk.number, LinuxDiskNumber(c.name)) << c.name;
  }
}

TEST(DiskListTest, NoSysfsMeansNoDisks) {
  EXPECT_TRUE(ListDisks({"/nonexistent/sys/block", "/dev"}).empty());
}

}  // namespace
}  // namespace orv
