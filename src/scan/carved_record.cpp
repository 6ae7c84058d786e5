#include "scan/carved_record.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
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

// The label and size of every one-byte serial type.
const std::array<SerialTypeInfo, 0x80> kOneByteTypes = [] {
  std::array<SerialTypeInfo, 0x80> types{};
  for (std::uint32_t type = 0; type < types.size(); ++type) types[type] = DescribeSerialType(type);
  return types;
}();

bool HasContent(char label) { return label == 'T' || IsIntegerLabel(label); }

std::string_view TextBytes(std::span<const std::uint8_t> page, const CarvedColumn& column) {
  return {reinterpret_cast<const char*>(page.data() + column.contentPos), column.size};
}

// A column's value; its content lies in `page`.
std::string_view ValueView(std::span<const std::uint8_t> page, const CarvedColumn& carved,
                           IntegerDigits& digits) {
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
  return ValueView(page, header.columns[column - 1], digits);
}

std::optional<OneByteHeader> OneByteHeader::Of(std::span<const std::uint8_t> page,
                                               std::size_t firstTypePos, std::size_t columnCount) {
  if (columnCount == 0 || firstTypePos >= page.size() || columnCount > page.size() - firstTypePos)
    return std::nullopt;
  // Eight serial types at a time: none may have its top bit set.
  constexpr std::uint64_t kTopBits = 0x8080808080808080;
  const std::uint8_t* type = page.data() + firstTypePos + 1;
  const std::uint8_t* end = page.data() + firstTypePos + columnCount;
  for (; end - type >= 8; type += 8) {
    std::uint64_t eight;
    std::memcpy(&eight, type, sizeof eight);
    if (eight & kTopBits) return std::nullopt;
  }
  for (; type < end; ++type)
    if (*type & 0x80) return std::nullopt;
  return OneByteHeader(page, firstTypePos, columnCount);
}

std::optional<std::string_view> OneByteHeader::value(std::size_t column,
                                                     IntegerDigits& digits) const {
  if (column == 0) return "-1";
  if (column >= columnCount_) return std::string_view();
  std::size_t contentPos = firstTypePos_ + columnCount_;
  for (std::size_t before = 1; before < column; ++before)
    contentPos += kOneByteTypes[page_[firstTypePos_ + before]].size;
  const SerialTypeInfo info = kOneByteTypes[page_[firstTypePos_ + column]];
  if (HasContent(info.label) &&
      (contentPos > page_.size() || info.size > page_.size() - contentPos))
    return std::nullopt;
  return ValueView(page_, {info.label, info.size, contentPos}, digits);
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
