#pragma once
// The tests that decide whether a decoded value looks like a phone number, a
// person's name or a call/message date, and the rendering of such dates.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// 3 to 24 characters; after an optional leading "+", a run of digits and
// blanks with 3 to 24 digits (and, with blanks, more digits than blanks and
// fewer than 5 blanks). What follows the run is not looked at.
bool IsPhoneNumber(std::string_view text);

// 1 to 11 characters in the GBK code page, at least one an ASCII letter or a
// GBK double-byte character in 0x8140-0xA0FE or 0xAA40-0xFEA0 (the ranges of
// the Chinese characters). Text that GBK cannot hold counts as it would on a
// GBK system: one character for each GB18030 sequence, qualifying nothing.
// Malformed UTF-8 is no name.
bool IsPersonName(std::string_view utf8);

// The lowest millisecond value that passes as a record date: 2^40 + 10^11,
// 2008-01-05 05:40:27.776 UTC.
inline constexpr std::int64_t kEarliestRecordDateMillis = 1199511627776;

// A millisecond date later than 2008-01-05 05:40:27.776 UTC and not later than
// the present moment of the local clock.
bool IsRecordDateValue(std::int64_t millis);

// The full text test: longer than one character, digits from the second
// character on, and a value that passes IsRecordDateValue.
bool IsRecordDate(std::string_view text);

// "yyyy-MM-dd hh:mm:ss" of milliseconds since 1970 UTC shown eight hours ahead
// (China time). Empty when `text` is not an integer or the date is out of the
// years 1 to 9999.
std::optional<std::string> FormatRecordDate(std::string_view text);

// A decimal 64-bit integer with an optional sign and nothing else.
std::optional<std::int64_t> ParseInt64(std::string_view text);

// True when `text` is not empty and holds only ASCII digits.
bool IsAllDigits(std::string_view text);

}  // namespace orv
