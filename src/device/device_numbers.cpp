#include "device/device_numbers.h"

#include <limits>

namespace orv {

std::optional<std::uint64_t> ParseDecimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::optional<std::uint32_t> ParseDecimal32(std::string_view text) {
  const auto value = ParseDecimal(text);
  if (!value || *value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

std::optional<DeviceNumbers> DeviceNumbersFromPath(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  const std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t colon = last.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto major = ParseDecimal32(last.substr(0, colon));
  const auto minor = ParseDecimal32(last.substr(colon + 1));
  if (!major || !minor) return std::nullopt;
  return DeviceNumbers{*major, *minor};
}

}  // namespace orv
