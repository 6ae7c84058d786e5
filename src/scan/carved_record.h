#pragma once
// Rebuilding a deleted record from its surviving serial types and reading its
// content, with no payload length to trust: every read is bounded by the page
// end instead.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "scan/decoded_record.h"

namespace orv {

struct CarvedRecord {
  // Column 0 is the lost rowid: label "0", size 0, value "-1" (the deleted mark).
  DecodedRecord record;
  std::size_t contentStart;  // page offset of the first content byte
  std::size_t contentEnd;    // one past the last; beyond the page when a BLOB runs past it
};

// Reads the serial types of columns 1 to `columnCount` - 1 from
// `firstTypePos` + 1 of `page` (the bytes of one page) and then their content.
// Serial types are one byte, or two when the first has its top bit set (values
// 12 to 4088 only); the header stops at the page end. Rejects the record when a
// two-byte type is out of range, an integer or a text would end past the page
// end, a 6-byte integer is negative, or a text longer than 10 bytes decodes to
// nothing. A BLOB's content is never read or bounded. Reads nothing outside
// `page`.
[[nodiscard]] std::optional<CarvedRecord> RebuildRecord(std::span<const std::uint8_t> page,
                                                        std::size_t firstTypePos,
                                                        std::size_t columnCount);

}  // namespace orv
