#pragma once
// Records read with a learned layout: whether a live record fits the layout,
// and the result-table row it gives, with every field taken from its learned
// position.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "scan/decoded_record.h"
#include "scan/page_records.h"
#include "scan/result_tables.h"
#include "scan/table_layout.h"

namespace orv {

// Record dates a phone can hold: 2000-01-01 to the end of 2035, in
// milliseconds since 1970 UTC.
inline constexpr std::int64_t kEarliestRecordDateMs = 946684800000;
inline constexpr std::int64_t kLatestRecordDateMs = 2082758399999;
// The largest call or message type code taken (AOSP uses 1 to 7; vendors a
// few more).
inline constexpr std::int64_t kMaxTypeCode = 127;

using MimetypeNames = std::map<std::int64_t, std::string>;

// Whether `record` (value 0 its rowid) fits `layout`: its column count is in
// the layout's range, every stored value suits its column's type, the rowid
// alias is stored as NULL, and the needed fields make sense: dates in
// 2000..2035, small type codes, a mimetype id of the database's `mimetypes`
// (when some were found; else any positive id).
bool RecordFits(const DecodedRecord& record, const TableLayout& layout,
                const MimetypeNames& mimetypes);

// How many of the page's records fit `layout`.
std::size_t CountFittingRecords(const PageRecords& page, const TableLayout& layout,
                                const MimetypeNames& mimetypes);

struct LearnedRow {
  ResultTable table;
  std::vector<std::string> cells;  // the row after its SN
};

// The row a fitting record gives, with `pageSn` as its page's DB-Result
// number: a call (Fuck2), a message (Fuck3), or a phone number or name of a
// contact (Fuck1), told apart by the database's mimetype names (by the
// number and name tests only when the database's mimetypes were not found).
// Empty for other contacts data and for mimetypes records.
std::optional<LearnedRow> MakeLearnedRow(const DecodedRecord& record, const TableLayout& layout,
                                         const MimetypeNames& mimetypes, const std::string& pageSn);

}  // namespace orv
