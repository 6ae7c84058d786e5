#pragma once
// The records of a database's schema table (sqlite_master): one row per
// table, index, view or trigger, with the SQL that created it. Found in leaf
// cells anywhere in an image, they tell which tables a database has and the
// stored order and types of their columns.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orv {

struct SchemaRecord {
  std::string type;     // "table", "index", "view" or "trigger"
  std::string name;     // the object's name
  std::string tblName;  // the table it belongs to
  std::int64_t rootPage = 0;
  std::string sql;          // the CREATE statement, or the part of it on this page
  bool sqlComplete = true;  // false when the record overflows its page
};

// The smallest and largest page sizes of an SQLite database.
inline constexpr std::uint32_t kMinPageBytes = 512;
inline constexpr std::uint32_t kMaxPageBytes = 65536;

// How many payload bytes of a table leaf cell lie on its page, for a page of
// `usableBytes` (SQLite file format, "Cell payload overflow": all of it up to
// usable - 35 bytes, else a share computed from the usable size).
std::uint64_t LocalPayloadBytes(std::uint64_t payload, std::uint32_t usableBytes);

// Decodes the table leaf cell at `cell` (its first byte: the payload-length
// varint) as a schema record, reading only inside `cell` and only the part of
// the payload that lies on a page of `usableBytes`. Empty unless the record
// has exactly five columns: a type word of the four above, two texts, an
// integer (or NULL) root page and a text (or NULL) SQL statement. A record
// whose statement continues on an overflow page keeps the part on the page,
// marked incomplete; a text cut by the end of `cell` likewise.
std::optional<SchemaRecord> DecodeSchemaCell(std::span<const std::uint8_t> cell,
                                             std::uint32_t usableBytes);

}  // namespace orv
