#include "device/ls_line.h"

#include <array>
#include <cctype>
#include <vector>

namespace orv {
namespace {

struct Token {
  std::string_view text;
  std::size_t end = 0;  // offset in the line just after the token
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<Token> Tokens(std::string_view line) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) tokens.push_back({line.substr(start, i - start), i});
  }
  return tokens;
}

bool IsDigits(std::string_view text) { return ParseDecimal(text).has_value(); }

bool IsDigitAt(std::string_view text, std::size_t i) {
  return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// "2020-11-11"
bool IsIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (!IsDigitAt(text, i)) return false;
  return true;
}

// "08:00", "8:00", "08:00:59", "08:00:59.123456789"
bool IsClockTime(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == 0 || colon > 2 || colon == std::string_view::npos) return false;
  if (!IsDigits(text.substr(0, colon))) return false;
  const std::string_view rest = text.substr(colon + 1);
  if (rest.size() < 2 || !IsDigitAt(rest, 0) || !IsDigitAt(rest, 1)) return false;
  if (rest.size() == 2) return true;
  if (rest[2] != ':' || rest.size() < 5 || !IsDigitAt(rest, 3) || !IsDigitAt(rest, 4)) return false;
  if (rest.size() == 5) return true;
  return rest[5] == '.' && rest.size() > 6 && IsDigits(rest.substr(6));
}

bool IsMonthName(std::string_view text) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (std::string_view month : kMonths)
    if (text == month) return true;
  return false;
}

bool IsMode(std::string_view text) {
  if (text.size() < 10 || text.size() > 11) return false;
  if (std::string_view("-dlbcps").find(text[0]) == std::string_view::npos) return false;
  for (std::size_t i = 1; i < 10; ++i)
    if (std::string_view("rwxsStTl-").find(text[i]) == std::string_view::npos) return false;
  return true;
}

// Where the date starts among `tokens` and how many tokens it takes (date and
// time, or month, day and time-or-year); 0 when there is none.
std::size_t DateStart(const std::vector<Token>& tokens, std::size_t& width) {
  for (std::size_t i = 3; i + 1 < tokens.size(); ++i) {
    if (IsIsoDate(tokens[i].text) && IsClockTime(tokens[i + 1].text)) {
      width = 2;
      return i;
    }
    if (i + 2 < tokens.size() && IsMonthName(tokens[i].text) && tokens[i + 1].text.size() <= 2 &&
        IsDigits(tokens[i + 1].text) &&
        (IsClockTime(tokens[i + 2].text) ||
         (tokens[i + 2].text.size() == 4 && IsDigits(tokens[i + 2].text)))) {
      width = 3;
      return i;
    }
  }
  return 0;
}

// "179," "0" / "179,0" / "179," "  0": the tokens between group and date.
std::optional<DeviceNumbers> DeviceNumbersOf(const std::vector<Token>& tokens, std::size_t first,
                                             std::size_t end) {
  std::string joined;
  for (std::size_t i = first; i < end; ++i) joined += tokens[i].text;
  const std::size_t comma = joined.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const auto major = ParseDecimal32(std::string_view(joined).substr(0, comma));
  const auto minor = ParseDecimal32(std::string_view(joined).substr(comma + 1));
  if (!major || !minor) return std::nullopt;
  return DeviceNumbers{*major, *minor};
}

// Owner, group and what follows them, from the tokens between mode and date.
bool ReadMiddle(const std::vector<Token>& tokens, std::size_t dateStart, LsEntry& entry) {
  std::size_t end = dateStart;
  if (entry.type == 'b' || entry.type == 'c') {
    // The numbers take the last one or two tokens before the date.
    std::size_t first = end - 1;
    if (tokens[first].text.find(',') == std::string_view::npos && first > 1) --first;
    entry.device = DeviceNumbersOf(tokens, first, end);
    if (!entry.device) return false;
    end = first;
  } else if (end - 1 >= 3 && IsDigits(tokens[end - 1].text)) {
    entry.size = ParseDecimal(tokens[end - 1].text);
    --end;
  }
  // What is left: [link count] owner group.
  const std::size_t count = end - 1;
  if (count == 3 && IsDigits(tokens[1].text)) {
    entry.owner = tokens[2].text;
    entry.group = tokens[3].text;
    return true;
  }
  if (count != 2) return false;
  entry.owner = tokens[1].text;
  entry.group = tokens[2].text;
  return true;
}

}  // namespace

std::optional<LsEntry> ParseLsLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  const std::vector<Token> tokens = Tokens(line);
  if (tokens.size() < 5 || !IsMode(tokens[0].text)) return std::nullopt;
  std::size_t width = 0;
  const std::size_t dateStart = DateStart(tokens, width);
  if (dateStart == 0 || dateStart + width >= tokens.size()) return std::nullopt;
  LsEntry entry;
  entry.type = tokens[0].text[0];
  entry.mode = tokens[0].text;
  if (!ReadMiddle(tokens, dateStart, entry)) return std::nullopt;
  for (std::size_t i = dateStart; i < dateStart + width; ++i) {
    if (!entry.date.empty()) entry.date += ' ';
    entry.date += tokens[i].text;
  }
  // The name starts one blank after the time and runs to the end of the line.
  std::size_t nameStart = tokens[dateStart + width - 1].end;
  if (nameStart < line.size()) ++nameStart;
  if (nameStart >= line.size()) return std::nullopt;
  std::string_view name = line.substr(nameStart);
  if (entry.type == 'l') {
    const std::size_t arrow = name.find(" -> ");
    if (arrow != std::string_view::npos) {
      entry.linkTarget = name.substr(arrow + 4);
      name = name.substr(0, arrow);
    }
  }
  entry.name = name;
  return entry;
}

std::optional<std::string> LinkTargetOf(std::string_view lsOutput) {
  std::size_t start = 0;
  while (start < lsOutput.size()) {
    std::size_t end = lsOutput.find('\n', start);
    if (end == std::string_view::npos) end = lsOutput.size();
    const auto entry = ParseLsLine(lsOutput.substr(start, end - start));
    if (entry && entry->type == 'l' && !entry->linkTarget.empty()) return entry->linkTarget;
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace orv
