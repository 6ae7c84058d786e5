#include "device/wireless_address.h"

#include "device/device_numbers.h"

namespace orv {
namespace {

constexpr std::string_view kLinkPort = "5555";  // where adb tcpip puts the phone

// Calls `visit` with each line of `text` without its line end (LF, CR LF or
// CR CR LF), empty lines skipped; stops when `visit` returns true.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && visit(line)) return;
  }
}

bool NamesWirelessInterface(std::string_view line) {
  const std::string withBlank = " " + std::string(line);
  return withBlank.find("wlan") != std::string::npos || withBlank.find("eth") != std::string::npos;
}

}  // namespace

std::optional<WirelessAddress> FindWirelessAddress(std::string_view netcfgOutput,
                                                   WirelessAddressError& error) {
  bool anyLine = false;
  std::optional<std::string_view> chosen;
  ForEachLine(netcfgOutput, [&](std::string_view line) {
    anyLine = true;
    if (NamesWirelessInterface(line)) chosen = line;
    return chosen.has_value();
  });
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
  const std::string wanted = std::string(address) + ":" + std::string(kLinkPort) + "\tdevice";
  bool found = false;
  ForEachLine(devicesOutput, [&](std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    found = line == wanted;
    return found;
  });
  return found;
}

}  // namespace orv
