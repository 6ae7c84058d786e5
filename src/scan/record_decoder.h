#pragma once
// Decoding of one record header and its content from a read buffer.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "scan/decoded_record.h"
#include "scan/page_format.h"

namespace orv {

// Decodes the record whose header-length byte lies at `headerPos` of
// `buffer`, for a cell whose payload-length varint said `payloadLength`.
// Rejects (empty optional) a record whose header uses long serial-type
// varints, whose BLOB or text is longer than the payload, whose content would
// be read outside the buffer, or whose 6-byte integer is negative. Never reads
// outside `buffer`.
[[nodiscard]] std::optional<DecodedRecord> DecodeRecord(std::span<const std::uint8_t> buffer,
                                                        std::size_t headerPos,
                                                        std::uint64_t payloadLength);

// The header half of DecodeRecord, for tests that need no values: fills
// `record`'s labels and sizes (its values left empty, its storage reused)
// with the same rejection rules; false when DecodeRecord would reject.
[[nodiscard]] bool DecodeRecordHeader(std::span<const std::uint8_t> buffer, std::size_t headerPos,
                                      std::uint64_t payloadLength, DecodedRecord& record);

// The values half: fills `record.values` from the content after the header
// at `headerPos`, which DecodeRecordHeader accepted into `record` from the
// same `buffer`.
void DecodeRecordValues(std::span<const std::uint8_t> buffer, std::size_t headerPos,
                        DecodedRecord& record);

// The label and content size of a serial type (`size` for BLOB and text is
// (N - 12) / 2 or (N - 13) / 2).
struct SerialTypeInfo {
  char label;
  std::uint32_t size;
};
// Content sizes of serial types 0..11 (SQLite record format).
inline constexpr std::uint32_t kFixedSerialTypeSizes[12] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0, 0, 0};
[[nodiscard]] constexpr SerialTypeInfo DescribeSerialType(std::uint32_t serialType) {
  if (serialType < 8)
    return {static_cast<char>('0' + serialType), kFixedSerialTypeSizes[serialType]};
  if (serialType < 12) return {'8', 0};
  if (serialType % 2 == 0) return {'B', (serialType - 12) / 2};
  return {'T', (serialType - 13) / 2};
}

inline bool IsIntegerLabel(char label) { return label >= '1' && label <= '7'; }

// Reads a column's value of `info` at `contentPos`; empty when an integer's
// or a text's content does not lie inside `buffer`. A BLOB's content is never
// read.
[[nodiscard]] std::optional<std::string> ReadColumnValue(std::span<const std::uint8_t> buffer,
                                                         std::size_t contentPos,
                                                         SerialTypeInfo info);

// A text column's content as a value: the UTF-8 text, or empty when the
// bytes are not valid UTF-8.
[[nodiscard]] std::string TextValue(std::span<const std::uint8_t> content);

// Big-endian two's-complement integer of the 1 to 8 bytes of `content`.
[[nodiscard]] std::int64_t ReadBigEndianSigned(std::span<const std::uint8_t> content);

}  // namespace orv
