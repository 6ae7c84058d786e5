#pragma once
// The layout of one of the tables the results need (call log, messages,
// contacts data, mimetypes), learned from a CREATE TABLE statement or taken
// from a built-in profile of a known Android release: where each needed
// field is stored and what types its columns accept.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "scan/create_table.h"

namespace orv {

enum class LayoutTable { kCalls, kSms, kData, kMimetypes };

enum class LayoutSource { kSchema, kProfile };

// Fields by table; kNoField where a layout lacks an optional one.
namespace layout_field {
inline constexpr std::size_t kCount = 5;
// calls
inline constexpr std::size_t kCallNumber = 0, kCallDate = 1, kCallDuration = 2, kCallType = 3,
                             kCallName = 4;
// sms
inline constexpr std::size_t kSmsThreadId = 0, kSmsAddress = 1, kSmsDate = 2, kSmsType = 3,
                             kSmsBody = 4;
// data
inline constexpr std::size_t kDataMimetypeId = 0, kDataRawContactId = 1, kDataData1 = 2;
// mimetypes
inline constexpr std::size_t kMimetypeId = 0, kMimetypeName = 1;
}  // namespace layout_field

inline constexpr std::size_t kNoField = static_cast<std::size_t>(-1);

// SQLite's default limit on the columns of a table: the upper bound of a
// layout whose column count is left open.
inline constexpr std::size_t kMaxTableColumns = 2000;

struct TableLayout {
  LayoutTable table = LayoutTable::kCalls;
  LayoutSource source = LayoutSource::kSchema;
  std::string name;                    // the table's name, or the profile's
  std::vector<Affinity> affinities;    // per stored column, as far as known
  std::size_t rowidColumn = kNoField;  // the INTEGER PRIMARY KEY column, stored as NULL
  std::array<std::size_t, layout_field::kCount> fields{};
  // Column counts a record of this table may have: rows written before an
  // ALTER TABLE are shorter, down to the last needed field.
  std::size_t minColumns = 0;
  std::size_t maxColumns = 0;

  std::size_t field(std::size_t which) const { return fields[which]; }
};

// The layout of `table` when it is one of the four tables by name and has
// every needed column; empty otherwise. Column names are compared without
// regard to case, as SQLite does.
std::optional<TableLayout> MapTableLayout(const TableSchema& table, LayoutSource source);

// Layouts of the AOSP releases and known vendor variants, for databases whose
// schema records did not survive: calls with `date` at index 2, 3 or 5; sms of
// 2.x, 4.0 and later, and the variant with `toa` before `address`; data with
// `data1` at 7, 8 or 9. Their column counts are left open.
const std::vector<TableLayout>& BuiltInProfiles();

// "calls", "sms", "data", "mimetypes".
const char* LayoutTableName(LayoutTable table);

}  // namespace orv
