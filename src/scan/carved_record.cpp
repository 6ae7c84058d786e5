#include "scan/carved_record.h"

#include <string>

#include "scan/record_decoder.h"

namespace orv {
namespace {

// Two-byte serial types name texts and BLOBs of up to 2038 bytes, the most a
// 4096-byte page can hold; anything else is not a surviving header.
constexpr std::uint32_t kMinTwoByteType = 12;
constexpr std::uint32_t kMaxTwoByteType = 4088;

struct SerialTypeRead {
  enum Outcome { kColumn, kPageEnd, kRejected } outcome;
  SerialTypeInfo info{};
  std::size_t length = 0;
};

SerialTypeRead ReadSerialType(std::span<const std::uint8_t> page, std::size_t pos) {
  if (pos >= page.size()) return {SerialTypeRead::kPageEnd};
  const std::uint8_t first = page[pos];
  if ((first & 0x80) == 0) return {SerialTypeRead::kColumn, DescribeSerialType(first), 1};
  if (pos + 1 >= page.size()) return {SerialTypeRead::kPageEnd};
  const std::uint8_t second = page[pos + 1];
  if (second & 0x80) return {SerialTypeRead::kRejected};
  const std::uint32_t type = (std::uint32_t{first & 0x7Fu} << 7) | second;
  if (type < kMinTwoByteType || type > kMaxTwoByteType) return {SerialTypeRead::kRejected};
  return {SerialTypeRead::kColumn, DescribeSerialType(type), 2};
}

// The value of one column whose content starts at `pos`, or nothing when the
// column rejects the record.
std::optional<std::string> ReadCarvedValue(std::span<const std::uint8_t> page, std::size_t pos,
                                           SerialTypeInfo info) {
  auto value = ReadColumnValue(page, pos, info);
  if (!value) return std::nullopt;
  if (info.label == '5' && (page[pos] & 0x80)) return std::nullopt;  // no negative 48-bit values
  // A long text that is not UTF-8 is not the text the anchor promised.
  if (info.label == 'T' && value->empty() && info.size > 10) return std::nullopt;
  return value;
}

}  // namespace

std::optional<CarvedRecord> RebuildRecord(std::span<const std::uint8_t> page,
                                          std::size_t firstTypePos, std::size_t columnCount) {
  // Find the header's extent first, so nothing is allocated for a bad one.
  std::size_t columns = 1;
  std::size_t typePos = firstTypePos + 1;
  for (; columns < columnCount; ++columns) {
    const SerialTypeRead type = ReadSerialType(page, typePos);
    if (type.outcome == SerialTypeRead::kRejected) return std::nullopt;
    if (type.outcome == SerialTypeRead::kPageEnd) break;
    typePos += type.length;
  }

  CarvedRecord carved{{}, typePos, typePos};
  carved.record.append('0', 0, "-1");
  typePos = firstTypePos + 1;
  for (std::size_t column = 1; column < columns; ++column) {
    const SerialTypeRead type = ReadSerialType(page, typePos);
    typePos += type.length;
    auto value = ReadCarvedValue(page, carved.contentEnd, type.info);
    if (!value) return std::nullopt;
    carved.record.append(type.info.label, type.info.size, std::move(*value));
    carved.contentEnd += type.info.size;
  }
  return carved;
}

}  // namespace orv
