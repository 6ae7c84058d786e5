#include "scan/schema_record.h"

#include <array>
#include <string_view>

#include "platform/text_codec.h"
#include "scan/varint.h"

namespace orv {
namespace {

constexpr std::uint32_t kMaxVarintBytes = 9;
constexpr std::size_t kSchemaColumns = 5;

// A full SQLite varint (up to nine bytes, the ninth contributing all eight
// bits), read only inside `data`.
std::optional<Varint> ReadVarint(std::span<const std::uint8_t> data, std::size_t pos) {
  std::uint64_t value = 0;
  for (std::uint32_t i = 0; i < kMaxVarintBytes; ++i) {
    if (pos + i >= data.size()) return std::nullopt;
    const std::uint8_t byte = data[pos + i];
    if (i == kMaxVarintBytes - 1) return Varint{(value << 8) | byte, kMaxVarintBytes};
    value = (value << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) return Varint{value, i + 1};
  }
  return std::nullopt;
}

std::uint64_t ContentBytes(std::uint64_t serialType) {
  static constexpr std::array<std::uint64_t, 12> kFixed = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0, 0, 0};
  if (serialType < kFixed.size()) return kFixed[serialType];
  return (serialType - 12) / 2;
}

bool IsText(std::uint64_t serialType) { return serialType >= 13 && serialType % 2 == 1; }

bool IsSchemaType(std::string_view type) {
  return type == "table" || type == "index" || type == "view" || type == "trigger";
}

}  // namespace

std::uint64_t LocalPayloadBytes(std::uint64_t payload, std::uint32_t usableBytes) {
  const std::uint64_t maxLocal = usableBytes - 35;
  if (payload <= maxLocal) return payload;
  const std::uint64_t minLocal = (static_cast<std::uint64_t>(usableBytes) - 12) * 32 / 255 - 23;
  const std::uint64_t local = minLocal + (payload - minLocal) % (usableBytes - 4);
  return local <= maxLocal ? local : minLocal;
}

std::optional<SchemaRecord> DecodeSchemaCell(std::span<const std::uint8_t> cell,
                                             std::uint32_t usableBytes) {
  if (usableBytes < kMinPageBytes || usableBytes > kMaxPageBytes) return std::nullopt;
  const auto payload = ReadVarint(cell, 0);
  if (!payload || payload->value == 0) return std::nullopt;
  const auto rowid = ReadVarint(cell, payload->length);
  if (!rowid) return std::nullopt;
  const std::size_t start = payload->length + rowid->length;
  // The record lies on the page up to its local part; the cell span may end
  // sooner (the page's end, the buffer's end).
  const std::size_t local = static_cast<std::size_t>(
      std::min<std::uint64_t>(LocalPayloadBytes(payload->value, usableBytes), cell.size() - start));
  const std::span<const std::uint8_t> record = cell.subspan(start, local);

  const auto headerLength = ReadVarint(record, 0);
  if (!headerLength || headerLength->value > record.size()) return std::nullopt;
  std::array<std::uint64_t, kSchemaColumns> types{};
  std::size_t pos = headerLength->length;
  for (std::uint64_t& type : types) {
    const auto serial = ReadVarint(record, pos);
    if (!serial) return std::nullopt;
    type = serial->value;
    pos += serial->length;
  }
  if (pos != headerLength->value) return std::nullopt;  // exactly five columns
  if (!IsText(types[0]) || !IsText(types[1]) || !IsText(types[2])) return std::nullopt;
  const bool rootIsInteger = types[3] <= 6 || types[3] == 8 || types[3] == 9;
  if (!rootIsInteger || !(types[4] == 0 || IsText(types[4]))) return std::nullopt;

  SchemaRecord out;
  std::string* texts[] = {&out.type, &out.name, &out.tblName};
  std::size_t content = pos;
  for (std::size_t column = 0; column < 3; ++column) {
    const std::uint64_t bytes = ContentBytes(types[column]);
    if (bytes > record.size() - content) return std::nullopt;  // names are never cut
    texts[column]->assign(reinterpret_cast<const char*>(record.data() + content), bytes);
    if (!IsValidUtf8(*texts[column])) return std::nullopt;
    content += bytes;
  }
  if (!IsSchemaType(out.type)) return std::nullopt;
  const std::uint64_t rootBytes = ContentBytes(types[3]);
  if (rootBytes > record.size() - content) return std::nullopt;
  std::uint64_t root = 0;
  for (std::uint64_t i = 0; i < rootBytes; ++i) root = (root << 8) | record[content + i];
  out.rootPage = types[3] == 9 ? 1 : static_cast<std::int64_t>(root);
  content += rootBytes;
  const std::uint64_t sqlBytes = ContentBytes(types[4]);
  const std::size_t onPage = std::min<std::uint64_t>(sqlBytes, record.size() - content);
  out.sql.assign(reinterpret_cast<const char*>(record.data() + content), onPage);
  out.sqlComplete = onPage == sqlBytes;
  // A cut may split a UTF-8 sequence (at most three bytes of it stay).
  for (int trim = 0; trim < 4 && !IsValidUtf8(out.sql); ++trim) {
    out.sql.pop_back();
    out.sqlComplete = false;
  }
  if (!IsValidUtf8(out.sql)) return std::nullopt;
  return out;
}

}  // namespace orv
