#pragma once
// The phone's identity, processor and memory, read from build.prop,
// /proc/cpuinfo and /proc/meminfo. Each value runs from its key to the end of
// its line, whatever the line end.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

struct BuildProperties {
  // The value of ro.product.model= when the key is present (maybe empty).
  std::optional<std::string> model;
  // Present values of the display id, Android version, language and region,
  // in that order, without gaps: a missing key is skipped.
  std::vector<std::string> values;
  bool anyValueKey = false;  // at least one of those four keys is present
};

BuildProperties ReadBuildProperties(std::string_view buildProp);

// The value of the "Hardware" line, after its colon, leading blank kept
// ("Hardware\t: SMDK" gives " SMDK"; blanks may stand for the tab).
std::optional<std::string> CpuHardware(std::string_view cpuInfo);

// The value after "MemTotal:", trimmed ("1010236 kB").
std::optional<std::string> MemoryTotal(std::string_view memInfo);

// The lv3 item captions of the values of ReadBuildProperties: the first
// without a label, then "安卓版本:", "系统语言:", "系统国家:".
inline constexpr std::string_view kBuildValueLabels[] = {"", "安卓版本:", "系统语言:", "系统国家:"};

}  // namespace orv
