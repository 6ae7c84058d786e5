#include "device/wireless_address.h"

#include "device/adb_commands.h"
#include "device/device_numbers.h"
#include "device/line_helpers.h"

namespace orv {
namespace {

bool NamesWirelessInterface(std::string_view line) {
  const std::string withBlank = " " + std::string(line);
  return withBlank.find("wlan") != std::string::npos || withBlank.find("eth") != std::string::npos;
}

}  // namespace

std::optional<WirelessAddress> FindWirelessAddress(std::string_view netcfgOutput,
                                                   WirelessAddressError& error) {
  bool anyLine = false;
  std::optional<std::string_view> chosen;
  for (const std::string_view line : SplitLines(netcfgOutput)) {
    if (line.empty()) continue;
    anyLine = true;
    if (NamesWirelessInterface(line)) {
      chosen = line;
      break;
    }
  }
  if (!anyLine) {
    error = WirelessAddressError::kNoLines;
    return std::nullopt;
  }
  error = WirelessAddressError::kNoInterface;
  if (!chosen) return std::nullopt;
  const std::string_view line = *chosen;
  const auto dot = line.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const auto blankBefore = line.rfind(' ', dot);
  const std::size_t start = blankBefore == std::string_view::npos ? 0 : blankBefore + 1;
  const auto blankAfter = line.find_first_of(" \t", dot);
  WirelessAddress found;
  found.shown = std::string(line.substr(
      start, blankAfter == std::string_view::npos ? std::string_view::npos : blankAfter - start));
  found.address = found.shown.substr(0, found.shown.find('/'));
  return found;
}

bool IsReachableIPv4(std::string_view address) {
  std::uint32_t parts[4] = {};
  for (int i = 0; i < 4; ++i) {
    const auto dot = address.find('.');
    if ((i < 3) == (dot == std::string_view::npos)) return false;
    const std::string_view part = address.substr(0, dot);
    if (part.empty() || part.size() > 3) return false;
    const std::optional<std::uint32_t> value = ParseDecimal32(part);
    if (!value || *value > 255) return false;
    parts[i] = *value;
    address = i < 3 ? address.substr(dot + 1) : std::string_view{};
  }
  const bool unspecified = parts[0] == 0 && parts[1] == 0 && parts[2] == 0 && parts[3] == 0;
  return !unspecified && parts[0] != 127;
}

bool DeviceListShowsReady(std::string_view devicesOutput, std::string_view address) {
  const std::string wanted = std::string(address) + ":" + std::string(kWirelessPort) + "\tdevice";
  for (const std::string_view line : SplitLines(devicesOutput)) {
    if (TrimBlanks(line) == wanted) return true;
  }
  return false;
}

}  // namespace orv
