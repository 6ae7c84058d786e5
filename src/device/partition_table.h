#pragma once
// The kernel's partition table as `cat /proc/partitions` prints it:
//   major minor  #blocks  name
//
//    179        0    7634944 mmcblk0
//    179        1        256 mmcblk0p1

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_numbers.h"

namespace orv {

struct Partition {
  std::string major;  // the three numbers as printed: decimal digits only
  std::string minor;
  std::string blocks;  // size in 1 KiB blocks
  std::string name;    // the rest of the line, e.g. mmcblk0p12 or bml0/c
  DeviceNumbers numbers;
  std::uint64_t blockCount = 0;

  bool operator==(const Partition&) const = default;
};

struct PartitionTable {
  std::vector<Partition> partitions;  // in the order printed
  // Lines that were neither the header nor a partition (empty lines aside):
  // counted so that the survey can say how many it passed over.
  std::size_t droppedLines = 0;
};

// Reads the table from its output `text` (any line end). A partition line is
// three decimal numbers (major and minor within 32 bits, blocks within 64)
// and a name; anything else is dropped and counted. The header line
// ("major minor #blocks name") is neither.
PartitionTable ParsePartitionTable(std::string_view text);

// The first partition with `name`, or null.
const Partition* FindPartitionByName(const PartitionTable& table, std::string_view name);

// The first partition whose name is the last component of `devicePath`
// (/dev/block/mmcblk0p24 names mmcblk0p24; bml0/c in /dev/block/bml0/c), or null.
const Partition* FindPartitionOfPath(const PartitionTable& table, std::string_view devicePath);

// The first partition with these numbers, or null.
const Partition* FindPartitionByNumbers(const PartitionTable& table, DeviceNumbers numbers);

}  // namespace orv
