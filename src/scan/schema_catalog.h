#pragma once
// What the discovery pass learns about the databases in an image: where each
// database header lies and its page size, the schema records found near it,
// and the mimetype ids of contacts databases. From these, the layouts of the
// call log, messages and contacts data of each database.
//
// A page or record belongs to the database whose header is the last one
// before it in the image (databases are mostly laid out in one piece); what
// lies before any header belongs to a database without a known header.

#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "scan/page_format.h"
#include "scan/schema_record.h"
#include "scan/table_layout.h"

namespace orv {

// The page size of a database whose header was not found.
inline constexpr std::uint32_t kDefaultPageBytes = kPageBytes;

struct DatabaseInfo {
  std::uint64_t offset = 0;  // of the header ("SQLite format 3\0"), or 0 without one
  bool hasHeader = false;
  std::uint32_t pageBytes = kDefaultPageBytes;
  std::vector<SchemaRecord> schema;
  std::map<std::int64_t, std::string> mimetypes;  // id -> mimetype, from the rows found
};

// A layout learned for one database: from its schema, or a built-in profile
// when none of its schema records survived.
struct LearnedLayout {
  std::size_t database = 0;
  TableLayout layout;
};

class SchemaCatalog {
 public:
  SchemaCatalog();

  // The database header at `offset` of the image, if `bytes` (from the
  // offset on) hold one; headers must be noted in ascending offset order.
  // Returns true when it was a header.
  bool noteHeader(std::uint64_t offset, std::span<const std::uint8_t> bytes);
  void noteSchemaRecord(std::uint64_t offset, SchemaRecord record);
  void noteMimetype(std::uint64_t offset, std::int64_t id, std::string mimetype);

  // Takes the catalog of the part of the image that follows this one's
  // (noted from an offset above every header noted here): what it noted
  // before its first header belongs to this catalog's last database, its
  // other databases follow. Gives what noting both parts here in order gives.
  void append(SchemaCatalog&& later);

  // The database the byte at `offset` belongs to (an index into databases()).
  std::size_t databaseAt(std::uint64_t offset) const;
  const std::vector<DatabaseInfo>& databases() const { return databases_; }

  // The layouts of the three tables the results need, per database. A
  // database's `sms` counts only with the telephony provider's `threads` and
  // `canonical_addresses` beside it; `calls` only with the call log's
  // `voicemail_status` or the contacts provider's `raw_contacts`; `data` only
  // with `raw_contacts` and `mimetypes`. Several layouts of one table are
  // kept (a phone upgraded between releases has them). Databases with no
  // schema record at all get the built-in profiles.
  std::vector<LearnedLayout> layouts() const;

 private:
  std::vector<DatabaseInfo> databases_;
};

// The page size a database header states (offset 16, big-endian; 1 means
// 65536); empty when `bytes` do not start with a header or the size is not a
// power of two from 512 to 65536.
std::optional<std::uint32_t> HeaderPageBytes(std::span<const std::uint8_t> bytes);

}  // namespace orv
