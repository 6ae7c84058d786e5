#include "device/line_helpers.h"

namespace orv {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) {
      end = text.size();
    } else {
      while (end > begin && text[end - 1] == '\r') --end;
    }
    lines.push_back(text.substr(begin, end - begin));
    begin = next;
  }
  return lines;
}

std::string_view TrimBlanks(std::string_view line) {
  const std::size_t first = line.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = line.find_last_not_of(kBlanks);
  return line.substr(first, last - first + 1);
}

std::optional<std::string_view> ValueAfterKey(std::string_view text, std::string_view key) {
  if (key.empty()) return std::nullopt;
  const std::size_t at = text.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t begin = at + key.size();
  std::size_t end = text.find('\n', begin);
  if (end == std::string_view::npos) end = text.size();
  while (end > begin && text[end - 1] == '\r') --end;
  return text.substr(begin, end - begin);
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t begin = line.find_first_not_of(kBlanks);
  while (begin != std::string_view::npos) {
    std::size_t end = line.find_first_of(kBlanks, begin);
    if (end == std::string_view::npos) end = line.size();
    words.push_back(line.substr(begin, end - begin));
    begin = line.find_first_not_of(kBlanks, end);
  }
  return words;
}

}  // namespace orv
