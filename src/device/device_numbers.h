#pragma once
// Device numbers (major, minor) as the phone prints them, and decimal numbers
// read strictly: only digits, no sign, no blanks, no overflow.

#include <cstdint>
#include <optional>
#include <string_view>

namespace orv {

struct DeviceNumbers {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  bool operator==(const DeviceNumbers&) const = default;
};

// `text` when it is one or more decimal digits that fit 64 bits.
std::optional<std::uint64_t> ParseDecimal(std::string_view text);

// `text` when it is decimal digits that fit 32 bits.
std::optional<std::uint32_t> ParseDecimal32(std::string_view text);

// The numbers of a device path whose last component is "major:minor", as vold
// names the cards it mounts (/dev/block/vold/179:97 gives 179 and 97).
std::optional<DeviceNumbers> DeviceNumbersFromPath(std::string_view path);

}  // namespace orv
