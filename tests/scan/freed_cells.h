#pragma once
// Freed cells of the call log, the messages table and the contacts data
// table as a deleted record leaves them in a page, built column by column
// for the carving tests.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Their own namespace: the layouts' column counts share names with the
// scan's column-count windows.
namespace orv::freed {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Hex(std::string_view hex) {
  Bytes out;
  for (std::size_t i = 0; i + 1 < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    i += 2;
  }
  return out;
}

inline Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

inline Bytes BigEndian(std::int64_t value, int bytes) {
  Bytes out(bytes);
  for (int i = bytes - 1; i >= 0; --i, value >>= 8) out[i] = static_cast<std::uint8_t>(value);
  return out;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// One column of a record: its serial type bytes and its content.
struct Column {
  Bytes type;
  Bytes content;
};

inline Column Null() { return {{0x00}, {}}; }
inline Column Constant(std::uint8_t type) { return {{type}, {}}; }  // 8 or 9
inline Column Int(std::int64_t value, int bytes) {
  const std::uint8_t type = bytes == 6 ? 5 : static_cast<std::uint8_t>(bytes);
  return {{type}, BigEndian(value, bytes)};
}
inline Column Date(std::int64_t millis) { return Int(millis, 6); }
inline Column Str(std::string_view text) {
  const std::uint32_t type = 13 + 2 * static_cast<std::uint32_t>(text.size());
  Bytes typeBytes = type < 128 ? Bytes{static_cast<std::uint8_t>(type)}
                               : Bytes{static_cast<std::uint8_t>(0x80 | (type >> 7)),
                                       static_cast<std::uint8_t>(type & 0x7F)};
  return {typeBytes, Text(text)};
}
inline Column Raw(Bytes type, Bytes content) { return {std::move(type), std::move(content)}; }

// A freed cell: the freeblock header has overwritten the payload length, the
// rowid, the header length and the rowid's serial type; the serial types of
// columns 1 on and the content survive.
inline Bytes FreedCell(const std::vector<Column>& columns) {
  Bytes cell = Hex("00 00 00 40");
  for (const Column& column : columns) cell = cell + column.type;
  for (const Column& column : columns) cell = cell + column.content;
  return cell;
}

constexpr std::int64_t kMarch2011 = 1300000000000;  // 2011-03-13 15:06:40 in China
constexpr std::int64_t kJanuary2008 = 1199145600000;
constexpr std::int64_t kYear2030 = 1893456000000;

// Call log of Android 2.3: _id, number, date, duration, type, new, name, numbertype, numberlabel.
inline std::vector<Column> CallColumns(std::string_view number, std::int64_t date, Column name) {
  return {Str(number), Date(date), Int(60, 1), Int(2, 1), Constant(9), name, Int(2, 1), Null()};
}
constexpr int kCallColumns = 9;

// Messages of Android 2.3: _id, thread_id, address, person, date, protocol, read, status, type,
// reply_path_present, subject, body, service_center, locked, error_code, seen.
inline std::vector<Column> SmsColumns(std::string_view address, Column body) {
  return {Int(3, 1),   Str(address), Null(),      Date(kMarch2011), Constant(8),
          Constant(9), Int(-1, 1),   Int(2, 1),   Constant(8),      Null(),
          body,        Null(),       Constant(8), Constant(8),      Constant(9)};
}
constexpr int kSmsColumns = 16;
constexpr int kSmsDateColumn = 4;

// Contacts data of Android 2.3: _id, package_id, mimetype_id, raw_contact_id, is_primary,
// is_super_primary, data_version, data1, data2, then 17 more columns.
inline std::vector<Column> DataColumns(std::int64_t mimetype, Column rawContact, Column data1) {
  std::vector<Column> columns = {Null(),      Int(mimetype, 1), rawContact, Constant(8),
                                 Constant(8), Constant(8),      data1,      Int(2, 1)};
  columns.resize(25, Null());
  return columns;
}
constexpr int kDataColumns = 26;

}  // namespace orv::freed
