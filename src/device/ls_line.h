#pragma once
// One line of `ls -l` as Android phones print it, read tolerantly. Both
// layouts are understood:
//   toolbox (Android up to 5): "lrwxrwxrwx root     root              1970-01-01 20:29 system ->
//   /dev/block/mmcblk0p24" toybox (Android 6 and later): "lrwxrwxrwx 1 root root  20 2020-11-11
//   08:00 boot -> /dev/block/mmcblk0p8"
// and busybox dates ("Nov 11 08:00", "Nov 11  2020"). Names may hold blanks;
// device files carry "major, minor" (also "179,   0" and "179,0") in place of
// the size; a link's name and target are split at the first " -> ".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/device_numbers.h"

namespace orv {

struct LsEntry {
  char type = '-';   // first character of the mode: '-', 'd', 'l', 'b', 'c', 'p', 's'
  std::string mode;  // the whole mode field, e.g. "drwxr-x--x"
  std::string owner;
  std::string group;
  std::optional<std::uint64_t> size;    // bytes; absent for directories and links of toolbox
  std::optional<DeviceNumbers> device;  // block and character devices
  std::string date;                     // date and time as printed, one blank between
  std::string name;                     // without the link target
  std::string linkTarget;               // links only

  bool operator==(const LsEntry&) const = default;
};

// Parses one line (a trailing CR or LF is ignored). Empty optional for lines
// that are not an entry: "total 0", a directory heading ("./cache:"), an error
// message, an empty line, anything cut short.
std::optional<LsEntry> ParseLsLine(std::string_view line);

// The target of the first link entry among the lines of `lsOutput` (any line
// end), or an empty optional when no line is a link. This is what `ls -l` of a
// by-name device path tells: /dev/block/platform/.../by-name/system ->
// /dev/block/mmcblk0p24.
std::optional<std::string> LinkTargetOf(std::string_view lsOutput);

}  // namespace orv
