#include "imaging/number_text.h"

#include <limits>

#include "device/device_numbers.h"

namespace orv {

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
  const std::optional<std::uint64_t> value = ParseDecimal(text);
  if (!value || *value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(*value);
}

}  // namespace orv
