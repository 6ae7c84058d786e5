#pragma once
// Decoding of one record header and its content from a read buffer.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "scan/decoded_record.h"

namespace orv {

// Size of the buffer a scan block is read into: a 64 KiB block and the 4608
// bytes after it, so a 4096-byte page starting anywhere in the block is whole.
inline constexpr std::size_t kScanBlockBytes = 65536;
inline constexpr std::size_t kReadBufferBytes = kScanBlockBytes + 4608;
inline constexpr std::size_t kPageBytes = 4096;

// Decodes the record whose header-length byte lies at `headerPos` of
// `buffer`, for a cell whose payload-length varint said `payloadLength`.
// Rejects (empty optional) a record whose header uses long serial-type
// varints, whose BLOB or text is longer than the payload, whose content would
// be read outside the buffer, or whose 6-byte integer is negative. Never reads
// outside `buffer`.
std::optional<DecodedRecord> DecodeRecord(std::span<const std::uint8_t> buffer,
                                          std::size_t headerPos, std::uint64_t payloadLength);

// The label and content size of a serial type (`size` for BLOB and text is
// (N - 12) / 2 or (N - 13) / 2).
struct SerialTypeInfo {
  char label;
  std::uint32_t size;
};
SerialTypeInfo DescribeSerialType(std::uint32_t serialType);

inline bool IsIntegerLabel(char label) { return label >= '1' && label <= '7'; }

// Reads a column's value of `info` at `contentPos`. The caller has checked
// that an integer's or a text's content lies inside `buffer`; a BLOB's content
// is never read.
std::string ReadColumnValue(std::span<const std::uint8_t> buffer, std::size_t contentPos,
                            SerialTypeInfo info);

// A text column's content as a value: the UTF-8 text, or empty when the
// bytes are not valid UTF-8.
std::string TextValue(const std::uint8_t* data, std::size_t size);

// Big-endian two's-complement integer of `bytes` (1 to 8) bytes.
std::int64_t ReadBigEndianSigned(const std::uint8_t* p, std::uint32_t bytes);

}  // namespace orv
