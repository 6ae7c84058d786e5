#pragma once
// The USB disk line: the text that names a disk in the disk chooser and in the
// scan path, "USB  " + number + ":" + product + " (" + size text + "，" + bus
// + ")", for example "USB  1:Mass Storage Device (7.40 GB，USB)"; and which
// disks the chooser offers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/disk_list.h"

namespace orv {

// The largest disk offered: SDXC cards end below 2 TiB, and a disk that big is
// a drive, not a card or stick.
inline constexpr std::uint64_t kLargestChoosableBytes = std::uint64_t{1} << 41;

// Megabytes (2^20 bytes) below 1000 as "%.2f MB", else gigabytes (2^30) as
// "%.2f GB", always with "." as the decimal point.
std::string DiskSizeText(std::uint64_t bytes);

// True for a disk the chooser lists: it has a disk number, sits on a USB bus
// or in a card reader (bus "USB" or "SD"), and its size is above 0 and below
// kLargestChoosableBytes.
bool IsChoosableDisk(const DiskInfo& disk);

// The chooser's line of `disk`, which must have a number.
std::string UsbDiskLine(const DiskInfo& disk);

// The disks of ListDisks(places) that the chooser lists, in number order.
std::vector<DiskInfo> ListChoosableDisks(const DiskPlaces& places);

// The disk number of a text that begins like a USB disk line: "USB", two
// blanks, one to three decimal digits, ":". Empty for every other text, which
// names an image file. The number is not checked against any limit here.
std::optional<unsigned> ParseUsbDiskLine(std::string_view text);

}  // namespace orv
