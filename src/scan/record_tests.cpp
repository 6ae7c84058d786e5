#include "scan/record_tests.h"

#include <charconv>
#include <cstdio>

#include "platform/clock.h"
#include "platform/text_codec.h"

namespace orv {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Days since 1970-01-01 to a civil date (Howard Hinnant's algorithm).
void CivilFromDays(std::int64_t days, std::int64_t& y, unsigned& m, unsigned& d) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
}

}  // namespace

bool IsAllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!IsDigit(c)) return false;
  return true;
}

std::optional<std::int64_t> ParseInt64(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool IsPhoneNumber(std::string_view text) {
  const std::size_t length = AnsiLength(text);
  if (length < 3 || length > 24) return false;
  std::size_t i = text.front() == '+' ? 1 : 0;
  int digits = 0;
  int spaces = 0;
  for (; i < text.size(); ++i) {
    if (IsDigit(text[i]))
      ++digits;
    else if (text[i] == ' ')
      ++spaces;
    else
      break;
  }
  if (spaces > 0 && (digits <= spaces || spaces >= 5)) return false;
  return digits >= 3 && digits <= 24;
}

bool IsPersonName(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return false;
  int characters = 0;
  bool qualifies = false;
  // Judged on each character's GBK bytes; one GBK lacks (a GB18030 four-byte
  // sequence, or a character without any GB18030 form) counts but never qualifies.
  ForEachGb18030Char(utf8, [&](Gb18030Char c) {
    ++characters;
    if (c.length == 1) {
      qualifies = qualifies || IsAsciiLetter(static_cast<unsigned char>(c.bytes));
    } else if (c.length == 2) {
      const std::uint32_t code = c.bytes;
      qualifies =
          qualifies || (code >= 0x8140 && code <= 0xA0FE) || (code >= 0xAA40 && code <= 0xFEA0);
    }
  });
  return characters >= 1 && characters <= 11 && qualifies;
}

bool IsRecordDateValue(std::int64_t millis) {
  if (millis <= kEarliestRecordDateMillis) return false;
  // The stored date is compared, whole seconds only, with the local wall clock.
  const WallClockReading now = Now();
  const std::int64_t nowLocalMillis = now.unixMillis + std::int64_t{now.localOffsetSeconds} * 1000;
  return (millis / 1000) * 1000 <= nowLocalMillis;
}

bool IsRecordDate(std::string_view text) {
  if (text.size() < 2) return false;
  for (std::size_t i = 1; i < text.size(); ++i)
    if (!IsDigit(text[i])) return false;
  const auto value = ParseInt64(text);
  return value && IsRecordDateValue(*value);
}

std::optional<std::string> FormatRecordDate(std::string_view text) {
  const auto millis = ParseInt64(text);
  if (!millis) return std::nullopt;
  constexpr std::int64_t kChinaOffsetSeconds = 8 * 3600;
  constexpr std::int64_t kMaxSeconds = 253402300799 - kChinaOffsetSeconds;  // 9999-12-31 23:59:59
  constexpr std::int64_t kMinSeconds = -62135596800 - kChinaOffsetSeconds;  // 0001-01-01
  const std::int64_t utcSeconds = *millis / 1000;
  if (utcSeconds > kMaxSeconds || utcSeconds < kMinSeconds) return std::nullopt;
  std::int64_t seconds = utcSeconds + kChinaOffsetSeconds;
  std::int64_t days = seconds / 86400;
  std::int64_t secondOfDay = seconds % 86400;
  if (secondOfDay < 0) {
    secondOfDay += 86400;
    --days;
  }
  std::int64_t year;
  unsigned month, day;
  CivilFromDays(days, year, month, day);
  char out[40];
  std::snprintf(
      out, sizeof out, "%04lld-%02u-%02u %02lld:%02lld:%02lld", static_cast<long long>(year), month,
      day, static_cast<long long>(secondOfDay / 3600),
      static_cast<long long>(secondOfDay / 60 % 60), static_cast<long long>(secondOfDay % 60));
  return std::string(out);
}

}  // namespace orv
