#pragma once
// Turning carved (deleted) records into rows of the call log (Fuck2), messages
// (Fuck3) and contacts data (Fuck1) tables. Each kind has a pre-test, which
// decides whether the anchor is taken at all, and a row builder, which may
// still find no row in a taken record. Rows are the cells after SN, in the
// table's column order; `dbResultSn` is the SN of the DB-Result row of the page
// the record came from.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "scan/decoded_record.h"

namespace orv {

using RowCells = std::vector<std::string>;

// Number (column 1) is a phone number and date (column 2) a record date.
bool PassesCallPretest(const DecodedRecord& record);
// ID, number, rendered date, duration, type, and as name the first text from
// column 5 on ("CN", the country code some phones store there, gives none).
RowCells BuildCallRow(const DecodedRecord& record, const std::string& dbResultSn);

// Address (column 2) is a phone number and column `dateColumn` a record date.
bool PassesMessagePretest(const DecodedRecord& record, std::size_t dateColumn);
// The row when the record holds a body (the first non-empty text from column 3
// on) or ends at its date column.
std::optional<RowCells> BuildMessageRow(const DecodedRecord& record, std::size_t dateColumn,
                                        const std::string& dbResultSn);

// mimetype_id (column 2) is "NoUser" or 1 to 20; raw_contact_id (column 3) is
// "NoUser", empty or digits.
bool PassesDataPretest(const DecodedRecord& record);
// The row when mimetype_id is not 4 and data1 (the first text from column 4
// on) is a phone number ("Tel") or a name ("Name").
std::optional<RowCells> BuildDataRow(const DecodedRecord& record, const std::string& dbResultSn);

}  // namespace orv
