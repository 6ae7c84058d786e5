#include "scan/anchor_search.h"

namespace orv {
namespace {

// A NULL, an integer of up to `maxBytes` bytes, or one of the constant types 8 to 11.
bool IsSmallIntegerType(std::uint8_t type, std::uint8_t maxBytes) {
  return type <= maxBytes || (type >= 8 && type <= 11);
}

// Call log: 0 _id, 1 number (text), 2 date (6-byte integer), 3 duration, 4 type.
std::optional<Anchor> MatchCall(std::span<const std::uint8_t> page, std::size_t p,
                                std::int32_t columns) {
  if (columns < 5 || page[p] != 5 || p < 2 || p + 2 >= page.size()) return std::nullopt;
  if (!IsNonEmptyTextType(page[p - 1]) || !IsSmallIntegerType(page[p + 1], 2) ||
      !IsSmallIntegerType(page[p + 2], 1)) {
    return std::nullopt;
  }
  return Anchor{RecordKind::kCall, p - 2, static_cast<std::size_t>(columns)};
}

// Contacts data: 0 _id, 1 package_id (NULL), 2 mimetype_id (1-byte integer), 3 raw_contact_id.
std::optional<Anchor> MatchData(std::span<const std::uint8_t> page, std::size_t p,
                                std::int32_t columns) {
  if (columns < 4 || page[p] != 1 || p < 2 || p + 1 >= page.size()) return std::nullopt;
  if (page[p - 1] != 0 || page[p + 1] > 4) return std::nullopt;
  return Anchor{RecordKind::kData, p - 2, static_cast<std::size_t>(columns)};
}

// Messages: 0 _id, 1 thread_id, 2 address (text), ..., d date (6-byte integer).
std::optional<Anchor> MatchMessage(std::span<const std::uint8_t> page, std::size_t p,
                                   std::int32_t columns, std::int32_t dateColumn) {
  if (dateColumn <= 3 || columns <= dateColumn || page[p] != 5) return std::nullopt;
  const auto d = static_cast<std::size_t>(dateColumn);
  if (p < d) return std::nullopt;
  const std::uint8_t threadId = page[p - d + 1];
  if (!IsNonEmptyTextType(page[p - d + 2]) || threadId < 1 || threadId > 4) return std::nullopt;
  return Anchor{RecordKind::kMessage, p - d, static_cast<std::size_t>(columns)};
}

}  // namespace

std::optional<Anchor> MatchAnchor(std::span<const std::uint8_t> page, std::size_t p,
                                  const ColumnParameters& params) {
  if (p >= page.size()) return std::nullopt;
  if (auto call = MatchCall(page, p, params.callColumns)) return call;
  if (auto data = MatchData(page, p, params.dataColumns)) return data;
  return MatchMessage(page, p, params.smsColumns, params.smsDateColumn);
}

}  // namespace orv
