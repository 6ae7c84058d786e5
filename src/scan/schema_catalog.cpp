#include "scan/schema_catalog.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "scan/create_table.h"

namespace orv {
namespace {

constexpr char kHeaderMagic[] = "SQLite format 3";  // with its terminating zero: 16 bytes
constexpr std::size_t kHeaderMagicBytes = sizeof(kHeaderMagic);
constexpr std::size_t kPageSizeField = 16;

// The tables that must stand beside a table for it to be the provider's own.
bool HasCompanions(LayoutTable table, const std::set<std::string>& tables) {
  auto has = [&](const char* name) { return tables.count(name) != 0; };
  switch (table) {
    case LayoutTable::kSms:
      return has("threads") && has("canonical_addresses");
    case LayoutTable::kCalls:
      return has("voicemail_status") || has("raw_contacts");
    case LayoutTable::kData:
      return has("raw_contacts") && has("mimetypes");
    case LayoutTable::kMimetypes:
      return false;  // read from its rows, never as result rows
  }
  return false;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool SameColumns(const TableLayout& a, const TableLayout& b) {
  return a.table == b.table && a.fields == b.fields && a.affinities == b.affinities &&
         a.maxColumns == b.maxColumns;
}

}  // namespace

std::optional<std::uint32_t> HeaderPageBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kPageSizeField + 2 ||
      std::memcmp(bytes.data(), kHeaderMagic, kHeaderMagicBytes) != 0)
    return std::nullopt;
  const std::uint32_t field =
      static_cast<std::uint32_t>(bytes[kPageSizeField] << 8) | bytes[kPageSizeField + 1];
  const std::uint32_t size = field == 1 ? kMaxPageBytes : field;
  if (size < kMinPageBytes || size > kMaxPageBytes || (size & (size - 1)) != 0) return std::nullopt;
  return size;
}

SchemaCatalog::SchemaCatalog() : databases_(1) {}

bool SchemaCatalog::noteHeader(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  const auto pageBytes = HeaderPageBytes(bytes);
  if (!pageBytes) return false;
  DatabaseInfo info;
  info.offset = offset;
  info.hasHeader = true;
  info.pageBytes = *pageBytes;
  if (offset == 0 && databases_.size() == 1 && databases_[0].schema.empty())
    databases_[0] = std::move(info);
  else
    databases_.push_back(std::move(info));
  return true;
}

std::size_t SchemaCatalog::databaseAt(std::uint64_t offset) const {
  const auto after =
      std::upper_bound(databases_.begin(), databases_.end(), offset,
                       [](std::uint64_t at, const DatabaseInfo& db) { return at < db.offset; });
  return after == databases_.begin() ? 0 : static_cast<std::size_t>(after - databases_.begin() - 1);
}

void SchemaCatalog::noteSchemaRecord(std::uint64_t offset, SchemaRecord record) {
  auto& schema = databases_[databaseAt(offset)].schema;
  // A schema page may be met twice (a stale copy beside the live one).
  const bool known = std::any_of(schema.begin(), schema.end(), [&](const SchemaRecord& r) {
    return r.type == record.type && r.name == record.name && r.sql == record.sql;
  });
  if (!known) schema.push_back(std::move(record));
}

void SchemaCatalog::append(SchemaCatalog&& later) {
  DatabaseInfo& last = databases_.back();
  DatabaseInfo& prefix = later.databases_.front();
  for (SchemaRecord& record : prefix.schema) noteSchemaRecord(last.offset, std::move(record));
  // Mimetypes noted here first win, as they would have.
  last.mimetypes.merge(prefix.mimetypes);
  std::move(later.databases_.begin() + 1, later.databases_.end(), std::back_inserter(databases_));
}

void SchemaCatalog::noteMimetype(std::uint64_t offset, std::int64_t id, std::string mimetype) {
  databases_[databaseAt(offset)].mimetypes.emplace(id, std::move(mimetype));
}

std::vector<LearnedLayout> SchemaCatalog::layouts() const {
  std::vector<LearnedLayout> out;
  for (std::size_t d = 0; d < databases_.size(); ++d) {
    const DatabaseInfo& db = databases_[d];
    if (db.schema.empty()) {
      for (const TableLayout& profile : BuiltInProfiles()) out.push_back({d, profile});
      continue;
    }
    std::set<std::string> tables;
    for (const SchemaRecord& record : db.schema)
      if (record.type == "table") tables.insert(Lower(record.name));
    const std::size_t first = out.size();
    for (const SchemaRecord& record : db.schema) {
      if (record.type != "table") continue;
      const auto table = ParseCreateTable(record.sql);
      if (!table) continue;
      auto layout = MapTableLayout(*table, LayoutSource::kSchema);
      if (!layout || !HasCompanions(layout->table, tables)) continue;
      const bool seen =
          std::any_of(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
                      [&](const LearnedLayout& l) { return SameColumns(l.layout, *layout); });
      if (!seen) out.push_back({d, std::move(*layout)});
    }
  }
  return out;
}

}  // namespace orv
