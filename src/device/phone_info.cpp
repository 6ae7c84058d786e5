#include "device/phone_info.h"

#include "device/line_helpers.h"

namespace orv {

BuildProperties ReadBuildProperties(std::string_view buildProp) {
  static constexpr std::string_view kValueKeys[] = {
      "ro.build.display.id=", "ro.build.version.release=", "ro.product.locale.language=",
      "ro.product.locale.region="};
  BuildProperties properties;
  if (const auto model = ValueAfterKey(buildProp, "ro.product.model="))
    properties.model = std::string(*model);
  for (const std::string_view key : kValueKeys) {
    const auto value = ValueAfterKey(buildProp, key);
    if (!value) continue;
    properties.anyValueKey = true;
    properties.values.emplace_back(*value);
  }
  return properties;
}

std::optional<std::string> CpuHardware(std::string_view cpuInfo) {
  // "Hardware\t: name"; some kernels pad with blanks instead of the tab.
  for (const std::string_view line : SplitLines(cpuInfo)) {
    if (!line.starts_with("Hardware")) continue;
    const std::string_view rest = line.substr(std::string_view("Hardware").size());
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos || !TrimBlanks(rest.substr(0, colon)).empty()) continue;
    return std::string(rest.substr(colon + 1));
  }
  return std::nullopt;
}

std::optional<std::string> MemoryTotal(std::string_view memInfo) {
  const auto value = ValueAfterKey(memInfo, "MemTotal:");
  if (!value) return std::nullopt;
  return std::string(TrimBlanks(*value));
}

}  // namespace orv
