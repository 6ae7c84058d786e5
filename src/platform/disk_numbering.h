#pragma once
// Disk numbers of Linux disks, stable and derived from the kernel name alone,
// so that a number written into a scan path finds its disk again without a
// table: "sda" 0 ... "sdz" 25, "sdaa" 26, ... (letters counted in bijective
// base 26) up to 199, and "mmcblkK" 200 + K up to 255. Other names (nvme0n1,
// vda, partitions) have no number.

#include <optional>
#include <string>
#include <string_view>

namespace orv {

inline constexpr unsigned kMaxDiskNumber = 255;          // the chooser's numbers are 0-255
inline constexpr unsigned kFirstCardReaderNumber = 200;  // "mmcblk0"

std::optional<unsigned> LinuxDiskNumber(std::string_view kernelName);

// The kernel name that has `number`; empty above kMaxDiskNumber.
std::optional<std::string> LinuxDiskName(unsigned number);

}  // namespace orv
