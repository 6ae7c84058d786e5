#include "imaging/dd_report.h"

#include <limits>

#include "device/line_helpers.h"
#include "imaging/number_text.h"

namespace orv {
namespace {

constexpr std::int64_t kDefaultBlockBytes = 512;  // dd's block size when bs= is not given

// "F+P records out": F full and P partial records.
std::optional<std::int64_t> FromRecords(std::string_view line) {
  const std::vector<std::string_view> words = Words(line);
  if (words.size() != 3 || words[1] != "records" || words[2] != "out") return std::nullopt;
  const auto plus = words[0].find('+');
  if (plus == std::string_view::npos) return std::nullopt;
  const auto full = ParseWholeNumber(words[0].substr(0, plus));
  const auto partial = ParseWholeNumber(words[0].substr(plus + 1));
  if (!full || !partial || *partial != 0) return std::nullopt;
  if (*full > std::numeric_limits<std::int64_t>::max() / kDefaultBlockBytes) return std::nullopt;
  return *full * kDefaultBlockBytes;
}

}  // namespace

std::optional<std::int64_t> BytesCopiedByDd(std::string_view report) {
  std::optional<std::int64_t> fromRecords;
  for (const std::string_view line : SplitLines(report)) {
    const std::vector<std::string_view> words = Words(line);
    if (words.size() >= 2 && words[1] == "bytes") {
      if (const auto bytes = ParseWholeNumber(words[0])) return bytes;
    }
    if (const auto bytes = FromRecords(line)) fromRecords = bytes;
  }
  return fromRecords;
}

}  // namespace orv
