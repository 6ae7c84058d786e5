#include "platform/storage_descriptor.h"

#include <algorithm>

namespace orv {
namespace {

// STORAGE_DEVICE_DESCRIPTOR, little-endian: Version, Size (32-bit each),
// DeviceType, DeviceTypeModifier, RemovableMedia, CommandQueueing (bytes),
// then 32-bit VendorIdOffset, ProductIdOffset, ProductRevisionOffset,
// SerialNumberOffset, BusType, RawPropertiesLength.
constexpr std::size_t kSizeAt = 4;
constexpr std::size_t kRemovableAt = 10;
constexpr std::size_t kVendorOffsetAt = 12;
constexpr std::size_t kProductOffsetAt = 16;
constexpr std::size_t kRevisionOffsetAt = 20;
constexpr std::size_t kSerialOffsetAt = 24;
constexpr std::size_t kBusTypeAt = 28;
constexpr std::size_t kFixedPartBytes = 36;

constexpr unsigned kBusTypeSd = 12;
constexpr unsigned kBusTypeMmc = 13;
constexpr unsigned kBusTypeMaxReserved = 127;

std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
         std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

// The zero-ended text at `offset`; offset 0 means "none", and so does an
// offset inside the fixed part (it would read the descriptor's own fields).
std::string TextAt(std::span<const std::uint8_t> descriptor, std::uint32_t offset) {
  if (offset < kFixedPartBytes || offset >= descriptor.size()) return {};
  const auto begin = descriptor.begin() + offset;
  const auto end = std::find(begin, descriptor.end(), std::uint8_t{0});
  std::string text(begin, end);
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::optional<StorageDescriptor> ParseStorageDescriptor(std::span<const std::uint8_t> returned) {
  if (returned.size() < kFixedPartBytes) return std::nullopt;
  const std::span<const std::uint8_t> descriptor =
      returned.first(std::min<std::size_t>(returned.size(), Le32(returned, kSizeAt)));
  StorageDescriptor parsed;
  parsed.busType = Le32(returned, kBusTypeAt);
  parsed.removable = returned[kRemovableAt] != 0;
  parsed.vendor = TextAt(descriptor, Le32(returned, kVendorOffsetAt));
  parsed.product = TextAt(descriptor, Le32(returned, kProductOffsetAt));
  parsed.revision = TextAt(descriptor, Le32(returned, kRevisionOffsetAt));
  parsed.serial = TextAt(descriptor, Le32(returned, kSerialOffsetAt));
  return parsed;
}

std::string BusName(unsigned busType) {
  static constexpr const char* kNames[] = {"Unknow", "SCSI",  "Atapi", "ATA", "1394",
                                           "SSA",    "Fibre", "USB",   "RAID"};
  if (busType < std::size(kNames)) return kNames[busType];
  if (busType == kBusTypeSd || busType == kBusTypeMmc) return "SD";
  if (busType == kBusTypeMaxReserved) return "MaxReserved";
  return {};
}

}  // namespace orv
