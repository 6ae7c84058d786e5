#pragma once
// Rebuilding a deleted record from its surviving serial types and reading its
// content, with no payload length to trust: every read is bounded by the page
// end instead. The header and every bound are checked before any value is
// made, so a rejected record costs no allocation.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "scan/decoded_record.h"

namespace orv {

struct CarvedRecord {
  // Column 0 is the lost rowid: label "0", size 0, value "-1" (the deleted mark).
  DecodedRecord record;
  std::size_t contentStart;  // page offset of the first content byte
  std::size_t contentEnd;    // one past the last; beyond the page when a BLOB runs past it
};

// One column of a rebuilt header.
struct CarvedColumn {
  char label;
  std::uint32_t size;
  std::size_t contentPos;  // page offset of its content
};

// A rebuilt header whose serial types and bounds hold.
struct CarvedHeader {
  std::vector<CarvedColumn> columns;  // columns 1 on; column 0, the lost rowid, has no bytes
  std::size_t contentStart = 0;
  std::size_t contentEnd = 0;
  // One past the last byte the checks looked at: the header's end or the end
  // of an integer's or a text's content, whichever is further; the page size
  // when the header reached the page end. The same bytes before a later page
  // end give the same header.
  std::size_t extent = 0;
};

// The header and bound checks of RebuildRecord (every rejection but the
// texts' one), into `header`, whose storage is reused from call to call.
// False when they reject the record.
[[nodiscard]] bool ReadCarvedHeader(std::span<const std::uint8_t> page, std::size_t firstTypePos,
                                    std::size_t columnCount, CarvedHeader& header);

// A column's value as RebuildRecord gives it, made without allocating: the
// constant texts, an integer's digits written into `digits`, and a text's
// raw bytes (not checked to be UTF-8). Column 0 is the deleted mark "-1"; a
// column past the header's last is empty.
using IntegerDigits = char[24];
[[nodiscard]] std::string_view CarvedValueView(std::span<const std::uint8_t> page,
                                               const CarvedHeader& header, std::size_t column,
                                               IntegerDigits& digits);

// A first look at a header of one-byte serial types only, the common case:
// a few columns' values are read before the header is read whole, so most
// anchors are passed over after a few bytes.
class OneByteHeader {
 public:
  // None when a serial type of the header has two bytes or the header
  // reaches the page end; ReadCarvedHeader then decides alone.
  static std::optional<OneByteHeader> Of(std::span<const std::uint8_t> page,
                                         std::size_t firstTypePos, std::size_t columnCount);

  // The value of `column` as CarvedValueView gives it, or none when its
  // content would end past the page end (ReadCarvedHeader rejects such a
  // record).
  std::optional<std::string_view> value(std::size_t column, IntegerDigits& digits) const;

 private:
  OneByteHeader(std::span<const std::uint8_t> page, std::size_t firstTypePos,
                std::size_t columnCount)
      : page_(page), firstTypePos_(firstTypePos), columnCount_(columnCount) {}

  std::span<const std::uint8_t> page_;
  std::size_t firstTypePos_;
  std::size_t columnCount_;
};

// The record of a header ReadCarvedHeader took, or nothing when a text
// rejects it (a text longer than 10 bytes that is not UTF-8).
[[nodiscard]] std::optional<CarvedRecord> BuildCarvedRecord(std::span<const std::uint8_t> page,
                                                            const CarvedHeader& header);

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
