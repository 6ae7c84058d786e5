#pragma once
// Whole numbers typed by the user or printed by the phone. Never throws: a
// text that is not a number is an ordinary outcome.

#include <cstdint>
#include <optional>
#include <string_view>

namespace orv {

// The decimal digits of `text`, blanks around them allowed, as a non-negative
// 64-bit number. Empty, a sign, any other character or a value above
// INT64_MAX give no value.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);

// The message for a size that is not a number (log type "错误").
inline constexpr std::string_view kNumberFormatMessage = "数值格式错误，请重新设置!";

}  // namespace orv
