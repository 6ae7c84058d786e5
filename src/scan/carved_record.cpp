#include "scan/carved_record.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "platform/text_codec.h"
#include "scan/record_decoder.h"

namespace orv {
namespace {

// Two-byte serial types name texts and BLOBs of up to 2038 bytes, the most a
// 4096-byte page can hold; anything else is not a surviving header.
constexpr std::uint32_t kMinTwoByteType = 12;
constexpr std::uint32_t kMaxTwoByteType = 4088;
// A shorter text that is not UTF-8 is kept, as an empty value.
constexpr std::uint32_t kLongestUncheckedText = 10;

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

bool HasContent(char label) { return label == 'T' || IsIntegerLabel(label); }

std::string_view TextBytes(std::span<const std::uint8_t> page, const CarvedColumn& column) {
  return {reinterpret_cast<const char*>(page.data() + column.contentPos), column.size};
}

}  // namespace

bool ReadCarvedHeader(std::span<const std::uint8_t> page, std::size_t firstTypePos,
                      std::size_t columnCount, CarvedHeader& header) {
  header.columns.clear();
  std::size_t typePos = firstTypePos + 1;
  bool reachedPageEnd = false;
  for (std::size_t column = 1; column < columnCount; ++column) {
    const SerialTypeRead type = ReadSerialType(page, typePos);
    if (type.outcome == SerialTypeRead::kRejected) return false;
    if (type.outcome == SerialTypeRead::kPageEnd) {
      reachedPageEnd = true;
      break;
    }
    typePos += type.length;
    header.columns.push_back({type.info.label, type.info.size, 0});
  }
  header.contentStart = typePos;
  header.extent = reachedPageEnd ? page.size() : typePos;
  std::size_t contentPos = typePos;
  for (CarvedColumn& column : header.columns) {
    column.contentPos = contentPos;
    if (HasContent(column.label)) {
      if (contentPos > page.size() || column.size > page.size() - contentPos) return false;
      header.extent = std::max(header.extent, contentPos + column.size);
      // No negative 48-bit values.
      if (column.label == '5' && (page[contentPos] & 0x80)) return false;
    }
    contentPos += column.size;
  }
  header.contentEnd = contentPos;
  return true;
}

std::string_view CarvedValueView(std::span<const std::uint8_t> page, const CarvedHeader& header,
                                 std::size_t column, IntegerDigits& digits) {
  if (column == 0) return "-1";
  if (column > header.columns.size()) return {};
  const CarvedColumn& carved = header.columns[column - 1];
  switch (carved.label) {
    case '0':
      return kNullValue;
    case '8':
      return kNoUserValue;
    case 'B':
      return kBlobValue;
    case 'T':
      return TextBytes(page, carved);
    default:
      break;
  }
  const auto value = ReadBigEndianSigned(page.subspan(carved.contentPos, carved.size));
  const auto written = std::to_chars(digits, digits + sizeof digits, value);
  return {digits, written.ptr};
}

std::optional<CarvedRecord> BuildCarvedRecord(std::span<const std::uint8_t> page,
                                              const CarvedHeader& header) {
  // A long text that is not UTF-8 is not the text the anchor promised.
  for (const CarvedColumn& column : header.columns)
    if (column.label == 'T' && column.size > kLongestUncheckedText &&
        !IsValidUtf8(TextBytes(page, column)))
      return std::nullopt;
  CarvedRecord carved{{}, header.contentStart, header.contentEnd};
  carved.record.append('0', 0, "-1");
  for (const CarvedColumn& column : header.columns) {
    auto value = ReadColumnValue(page, column.contentPos, {column.label, column.size});
    carved.record.append(column.label, column.size, std::move(value).value_or(""));
  }
  return carved;
}

std::optional<CarvedRecord> RebuildRecord(std::span<const std::uint8_t> page,
                                          std::size_t firstTypePos, std::size_t columnCount) {
  CarvedHeader header;
  if (!ReadCarvedHeader(page, firstTypePos, columnCount, header)) return std::nullopt;
  return BuildCarvedRecord(page, header);
}

}  // namespace orv
