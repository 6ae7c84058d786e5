#include "device/space_report.h"

#include "device/line_helpers.h"

namespace orv {
namespace {

constexpr std::size_t kFiveColumnHeaderWords = 5;  // Filesystem Size Used Free Blksize
constexpr std::size_t kSixColumnHeaderWords = 7;   // ... Use% Mounted on

std::string WordAt(const std::vector<std::string_view>& words, std::size_t index) {
  return index < words.size() ? std::string(words[index]) : std::string();
}

}  // namespace

SpaceReport ParseSpaceReport(std::string_view text) {
  SpaceReport report;
  std::vector<std::string_view> lines;
  for (const std::string_view line : SplitLines(text))
    if (!TrimBlanks(line).empty()) lines.push_back(line);
  if (lines.empty()) return report;
  const std::size_t headerWords = Words(lines[0]).size();
  if (headerWords == kFiveColumnHeaderWords) {
    report.layout = SpaceLayout::kFiveColumns;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::vector<std::string_view> words = Words(lines[i]);
      report.rows.push_back(
          {"", WordAt(words, 0), WordAt(words, 1), WordAt(words, 2), WordAt(words, 3)});
    }
  } else if (headerWords == kSixColumnHeaderWords) {
    report.layout = SpaceLayout::kSixColumns;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      std::vector<std::string_view> words = Words(lines[i]);
      // A device name alone on its line: its numbers are on the next line.
      if (words.size() == 1 && i + 1 < lines.size()) {
        const std::vector<std::string_view> rest = Words(lines[++i]);
        words.insert(words.end(), rest.begin(), rest.end());
      }
      report.rows.push_back({WordAt(words, 0), WordAt(words, 5), WordAt(words, 1), WordAt(words, 2),
                             WordAt(words, 3)});
    }
  }
  return report;
}

}  // namespace orv
