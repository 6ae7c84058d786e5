#pragma once
// The mount table that `mount` prints, in both layouts Android phones have:
//   toolbox:  /dev/block/mmcblk0p1 /system ext4 ro,relatime 0 0
//   toybox:   /dev/block/mmcblk0p22 on /system type ext4 (ro,seclabel,relatime)

#include <string>
#include <string_view>
#include <vector>

namespace orv {

struct MountLine {
  std::string device;      // what is mounted, as printed
  std::string mountPoint;  // where
  std::string fileSystem;  // the file system type

  bool operator==(const MountLine&) const = default;
};

// Reads the table from its output `text` (any line end); lines with fewer
// than three words are passed over.
std::vector<MountLine> ParseMountTable(std::string_view text);

// The first line that mounts something at exactly `mountPoint`, or null.
const MountLine* FindMount(const std::vector<MountLine>& table, std::string_view mountPoint);

}  // namespace orv
