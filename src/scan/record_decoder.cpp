#include "scan/record_decoder.h"

#include "platform/text_codec.h"
#include "scan/varint.h"

namespace orv {

std::string DecodedRecord::labelsText() const {
  std::string text;
  text.reserve(labels.size() * 2);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (i) text.push_back(',');
    text.push_back(labels[i]);
  }
  return text;
}

std::string DecodedRecord::sizesText() const {
  std::string text;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (i) text.push_back(',');
    text += std::to_string(sizes[i]);
  }
  return text;
}

std::string DecodedRecord::valuesText() const {
  std::string text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) text.push_back(kValueSeparator);
    text += values[i];
  }
  return text;
}

std::int64_t ReadBigEndianSigned(std::span<const std::uint8_t> content) {
  if (content.empty()) return 0;
  std::uint64_t value = (content[0] & 0x80) ? ~std::uint64_t{0} : 0;  // sign-extend
  for (const std::uint8_t byte : content) value = (value << 8) | byte;
  return static_cast<std::int64_t>(value);
}

std::string TextValue(std::span<const std::uint8_t> content) {
  std::string_view text(reinterpret_cast<const char*>(content.data()), content.size());
  return IsValidUtf8(text) ? std::string(text) : std::string();
}

std::optional<std::string> ReadColumnValue(std::span<const std::uint8_t> buffer,
                                           std::size_t contentPos, SerialTypeInfo info) {
  switch (info.label) {
    case '0':
      return std::string(kNullValue);
    case '8':
      return std::string(kNoUserValue);
    case 'B':
      return std::string(kBlobValue);
    default:
      break;
  }
  if (contentPos > buffer.size() || info.size > buffer.size() - contentPos) return std::nullopt;
  const auto content = buffer.subspan(contentPos, info.size);
  if (info.label == 'T') return TextValue(content);
  return std::to_string(ReadBigEndianSigned(content));
}

namespace {

// The descriptions of the one-byte serial types, the common case, computed once.
struct OneByteSerialTypes {
  SerialTypeInfo infos[0x80]{};
  constexpr OneByteSerialTypes() {
    for (std::uint32_t type = 0; type < 0x80; ++type) infos[type] = DescribeSerialType(type);
  }
};
constexpr OneByteSerialTypes kOneByteSerialTypes;

}  // namespace

bool DecodeRecordHeader(std::span<const std::uint8_t> buffer, std::size_t headerPos,
                        std::uint64_t payloadLength, DecodedRecord& record) {
  record.clear();
  const std::size_t size = buffer.size();
  if (headerPos >= size) return false;
  const std::uint8_t headerLength = buffer[headerPos];
  if (headerLength == 0 || headerLength > 127) return false;

  // Each column takes a header byte at least: the lists are sized once and
  // cut to the columns read, whether the header is taken or not.
  record.labels.resize(headerLength);
  record.sizes.resize(headerLength);
  std::size_t columns = 0;
  const auto finish = [&](bool taken) {
    record.labels.resize(columns);
    record.sizes.resize(columns);
    return taken && columns != 0;
  };
  const std::size_t headerEnd = headerPos + headerLength;
  std::size_t typePos = headerPos + 1;
  std::size_t contentPos = headerEnd;
  while (typePos < headerEnd) {
    SerialTypeInfo info;
    if (typePos < size && buffer[typePos] < 0x80) {
      info = kOneByteSerialTypes.infos[buffer[typePos]];
      ++typePos;
    } else {
      const auto type = ReadShortVarint(buffer.data(), size, typePos, 2);
      if (!type) return finish(false);
      if (type->length == 2 && type->value <= 11) return finish(false);
      typePos += type->length;
      info = DescribeSerialType(static_cast<std::uint32_t>(type->value));
    }
    if ((info.label == 'B' || info.label == 'T') && info.size > payloadLength) return finish(false);
    if (info.label == 'T') {
      // A text is taken only when it ends one byte short of the buffer's end.
      if (contentPos + info.size > size - 1) return finish(false);
    } else if (IsIntegerLabel(info.label) && contentPos + info.size > size) {
      return finish(false);
    }
    // A negative 48-bit integer is no date, count or id of the tables we seek.
    if (info.label == '5' && (buffer[contentPos] & 0x80)) return finish(false);
    record.labels[columns] = info.label;
    record.sizes[columns] = info.size;
    ++columns;
    contentPos += info.size;
  }
  return finish(true);
}

void DecodeRecordValues(std::span<const std::uint8_t> buffer, std::size_t headerPos,
                        DecodedRecord& record) {
  record.values.clear();
  std::size_t contentPos = headerPos + buffer[headerPos];
  for (std::size_t column = 0; column < record.columnCount(); ++column) {
    const SerialTypeInfo info{record.labels[column], record.sizes[column]};
    // The header's checks put every integer and text inside the buffer.
    record.values.push_back(ReadColumnValue(buffer, contentPos, info).value_or(std::string()));
    contentPos += info.size;
  }
}

std::optional<DecodedRecord> DecodeRecord(std::span<const std::uint8_t> buffer,
                                          std::size_t headerPos, std::uint64_t payloadLength) {
  DecodedRecord record;
  if (!DecodeRecordHeader(buffer, headerPos, payloadLength, record)) return std::nullopt;
  DecodeRecordValues(buffer, headerPos, record);
  return record;
}

}  // namespace orv
