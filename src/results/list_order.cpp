#include "results/list_order.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

#include "platform/text_codec.h"

namespace orv {
namespace {

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// GB18030 sequences: ASCII single bytes; a lead byte 0x81-0xFE followed by a
// trail byte 0x40-0xFE (two bytes) or by a digit (four bytes).
void FoldGb18030(std::string& gb) {
  std::size_t i = 0;
  while (i < gb.size()) {
    const auto lead = static_cast<std::uint8_t>(gb[i]);
    if (lead < 0x80) {
      gb[i] = Folded(gb[i]);
      ++i;
    } else if (i + 1 < gb.size() && gb[i + 1] >= '0' && gb[i + 1] <= '9') {
      i += 4;
    } else {
      i += 2;
    }
  }
}

std::string JoinFields(const ListEntry& fields) {
  std::string joined;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) joined += '`';
    joined += fields[i];
  }
  return joined;
}

// Keys of cells that read as the column's kind start below those that do not.
constexpr char kTypedKey = '\0';
constexpr char kTextKey = '\1';

std::optional<std::int64_t> WholeNumber(std::string_view text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || text.empty()) return std::nullopt;
  return value;
}

// Eight bytes that compare as the signed value does.
std::string NumberKey(std::int64_t value) {
  const std::uint64_t biased = static_cast<std::uint64_t>(value) ^ (std::uint64_t{1} << 63);
  std::string key(1, kTypedKey);
  for (int shift = 56; shift >= 0; shift -= 8) {
    key += static_cast<char>((biased >> shift) & 0xFF);
  }
  return key;
}

// "yyyy-M-d h:m:s" (each field after the year one or two digits) as
// "yyyyMMddhhmmss"; none for anything else.
std::optional<std::string> DateTimeDigits(std::string_view text) {
  constexpr std::array<char, 5> kSeparators = {'-', '-', ' ', ':', ':'};
  std::string digits;
  std::size_t i = 0;
  for (std::size_t field = 0; field < 6; ++field) {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    const std::size_t length = i - start;
    if (field == 0 ? length != 4 : length < 1 || length > 2) return std::nullopt;
    if (length == 1) digits += '0';
    digits += text.substr(start, length);
    if (field == kSeparators.size()) break;
    if (i >= text.size() || text[i] != kSeparators[field]) return std::nullopt;
    ++i;
  }
  if (i != text.size()) return std::nullopt;
  return digits;
}

}  // namespace

std::string ColumnOrderKey(std::string_view cell, ColumnOrder order) {
  if (order == ColumnOrder::kNumber) {
    if (const auto value = WholeNumber(cell)) return NumberKey(*value);
  } else if (order == ColumnOrder::kDateTime) {
    if (const auto digits = DateTimeDigits(cell)) return kTypedKey + *digits;
  } else {
    return ListOrderKey(cell);
  }
  return kTextKey + ListOrderKey(cell);
}

std::string ListOrderKey(std::string_view utf8) {
  if (auto gb = Utf8ToGb18030(utf8)) {
    FoldGb18030(*gb);
    return std::move(*gb);
  }
  // Not UTF-8, so its character boundaries are unknown: fold every letter byte.
  std::string raw(utf8);
  for (char& c : raw) c = Folded(c);
  return raw;
}

int CompareListText(std::string_view a, std::string_view b) {
  return ListOrderKey(a).compare(ListOrderKey(b));
}

bool SortedEntryList::add(ListEntry fields) {
  return byKey_.try_emplace(ListOrderKey(JoinFields(fields)), std::move(fields)).second;
}

std::vector<ListEntry> SortedEntryList::entries() const {
  std::vector<ListEntry> out;
  out.reserve(byKey_.size());
  forEach([&](const ListEntry& fields) { out.push_back(fields); });
  return out;
}

void SortedEntryList::forEach(const std::function<void(const ListEntry&)>& visit) const {
  for (const auto& [key, fields] : byKey_) visit(fields);
}

}  // namespace orv
