#pragma once
// Parsing of the CREATE TABLE statement a schema record holds: the table's
// columns in stored order with their declared types and affinities. Columns
// added later by ALTER TABLE ADD COLUMN are appended to the statement by
// SQLite, so they come last here as they do in the records.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// Column affinity (SQLite "Determination Of Column Affinity").
enum class Affinity { kInteger, kText, kBlob, kReal, kNumeric };

struct ColumnSchema {
  std::string name;          // unquoted
  std::string declaredType;  // as written, words joined by one blank; may be empty
  Affinity affinity = Affinity::kBlob;
  bool rowidAlias = false;  // INTEGER PRIMARY KEY: stored as NULL, the value is the rowid
};

struct TableSchema {
  std::string name;  // unquoted, without a schema prefix
  std::vector<ColumnSchema> columns;
  // False when the statement was cut (a record overflowing its page): the
  // columns are a prefix of the table's, and more may follow.
  bool complete = true;
};

Affinity AffinityOfType(std::string_view declaredType);

// Parses "CREATE [TEMP] TABLE [IF NOT EXISTS] [schema.]name (column-def, ...,
// table-constraint, ...) [WITHOUT ROWID]" with quoted names ("x", [x], `x`,
// 'x'), nested parentheses, comments and string literals in constraints.
// A statement cut short yields the columns whose definition ended before
// the cut, marked incomplete. Empty for anything else (CREATE ... AS SELECT,
// WITHOUT ROWID tables, virtual tables, no column).
std::optional<TableSchema> ParseCreateTable(std::string_view sql);

}  // namespace orv
