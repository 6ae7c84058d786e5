#include "imaging/free_space_text.h"

#include <limits>

namespace orv {
namespace {

// Digits kept after the decimal point; df -h prints one, more are noise.
constexpr int kMaxFractionDigits = 6;

struct UnitScale {
  char letter;
  std::int64_t multiplier;  // KiB per unit, or 1 for bytes
  std::int64_t divisor;     // 1024 for bytes, else 1
};

constexpr UnitScale kUnits[] = {
    {'T', std::int64_t{1} << 30, 1},
    {'G', std::int64_t{1} << 20, 1},
    {'M', 1024, 1},
    {'K', 1, 1},
    {'B', 1, 1024},
};

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::optional<std::int64_t> ParseFreeSpaceKib(std::string_view text, SpaceReportUnits units) {
  text = Trimmed(text);
  if (text.empty()) return std::nullopt;
  UnitScale scale{'\0', 1, 1};
  bool letterFound = false;
  for (const UnitScale& unit : kUnits) {
    if (text.back() == unit.letter) {
      scale = unit;
      letterFound = true;
      text.remove_suffix(1);
      break;
    }
  }
  if (!letterFound && units != SpaceReportUnits::kKibBlocks) return std::nullopt;

  // value = mantissa / 10^fractionDigits, kept exact in 128 bits.
  unsigned __int128 mantissa = 0;
  unsigned __int128 denominator = 1;
  bool point = false;
  int fractionDigits = 0;
  bool anyDigit = false;
  constexpr unsigned __int128 kLimit = std::numeric_limits<std::int64_t>::max();
  for (const char c : text) {
    if (c == '.' && !point && letterFound) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    anyDigit = true;
    if (point && fractionDigits == kMaxFractionDigits) continue;
    mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
    if (point) {
      ++fractionDigits;
      denominator *= 10;
    }
    if (mantissa / denominator > kLimit) return std::nullopt;
  }
  if (!anyDigit) return std::nullopt;
  const unsigned __int128 kib =
      mantissa * static_cast<unsigned>(scale.multiplier) / (denominator * scale.divisor);
  if (kib > kLimit) return std::nullopt;
  return static_cast<std::int64_t>(kib);
}

}  // namespace orv
