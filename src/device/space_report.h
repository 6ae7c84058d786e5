#pragma once
// The space report that `df` prints, in the two layouts Android phones have:
//   five columns (toolbox, Android up to 6):
//     Filesystem             Size   Used   Free   Blksize
//     /system                503M   470M    33M   4096
//   six columns (busybox and toybox, Android 7 and later):
//     Filesystem  1K-blocks     Used Available Use% Mounted on
//     /dev/block/mmcblk0p49  197472  72  197400   1% /cache
// In the six-column layout a device name too long for its column stands on a
// line of its own and the numbers follow on the next line.

#include <string>
#include <string_view>
#include <vector>

namespace orv {

enum class SpaceLayout { kUnknown, kFiveColumns, kSixColumns };

// One row below the header. Absent columns are empty.
struct SpaceRow {
  std::string device;      // six columns only: the file system column
  std::string mountPoint;  // five columns: the first column; six: "Mounted on"
  std::string size;        // "Size", or "1K-blocks"
  std::string used;        // "Used"
  std::string free;        // "Free", or "Available"

  bool operator==(const SpaceRow&) const = default;
};

struct SpaceReport {
  SpaceLayout layout = SpaceLayout::kUnknown;
  std::vector<SpaceRow> rows;  // the rows after the header, in order
};

// Reads the report from its output `text` (any line end). The layout is told
// by the number of words of the first non-empty line: five words give the
// five-column layout, seven ("Mounted on" is two) the six-column one; any
// other header gives kUnknown and no rows.
SpaceReport ParseSpaceReport(std::string_view text);

}  // namespace orv
