#include "scan/usb_disk_line.h"

#include <charconv>

namespace orv {
namespace {

constexpr std::string_view kLinePrefix = "USB  ";
constexpr std::size_t kMaxNumberDigits = 3;
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;
constexpr double kMegabytesPerGigabyte = 1024.0;
constexpr double kLargestMegabyteFigure = 1000.0;

std::string TwoDecimals(double value) {
  char text[32];
  const auto result =
      std::to_chars(std::begin(text), std::end(text), value, std::chars_format::fixed, 2);
  return std::string(text, result.ptr);
}

}  // namespace

std::string DiskSizeText(std::uint64_t bytes) {
  const double megabytes = static_cast<double>(bytes) / kBytesPerMegabyte;
  if (megabytes < kLargestMegabyteFigure) return TwoDecimals(megabytes) + " MB";
  return TwoDecimals(megabytes / kMegabytesPerGigabyte) + " GB";
}

bool IsChoosableDisk(const DiskInfo& disk) {
  return disk.number.has_value() && (disk.bus == "USB" || disk.bus == "SD") && disk.sizeBytes > 0 &&
         disk.sizeBytes < kLargestChoosableBytes;
}

std::string UsbDiskLine(const DiskInfo& disk) {
  const std::string& product = !disk.model.empty()    ? disk.model
                               : !disk.vendor.empty() ? disk.vendor
                                                      : disk.kernelName;
  return std::string(kLinePrefix) + std::to_string(disk.number.value_or(0)) + ":" + product + " (" +
         DiskSizeText(disk.sizeBytes) + "，" + disk.bus + ")";
}

std::vector<DiskInfo> ListChoosableDisks(const DiskPlaces& places) {
  std::vector<DiskInfo> disks = ListDisks(places);
  std::erase_if(disks, [](const DiskInfo& disk) { return !IsChoosableDisk(disk); });
  return disks;
}

std::optional<unsigned> ParseUsbDiskLine(std::string_view text) {
  if (!text.starts_with(kLinePrefix)) return std::nullopt;
  std::size_t i = kLinePrefix.size();
  unsigned number = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' &&
         i - kLinePrefix.size() < kMaxNumberDigits)
    number = number * 10 + static_cast<unsigned>(text[i++] - '0');
  if (i == kLinePrefix.size() || i >= text.size() || text[i] != ':') return std::nullopt;
  return number;
}

}  // namespace orv
