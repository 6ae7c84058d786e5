#pragma once
// Turning carved (deleted) records into rows of the call log (Fuck2), messages
// (Fuck3) and contacts data (Fuck1) tables. Each kind has a pre-test, which
// decides whether the anchor is taken at all, and a row builder, which may
// still find no row in a taken record. Rows are the cells after SN, in the
// table's column order; `dbResultSn` is the SN of the DB-Result row of the page
// the record came from. The parts live rows (page_extraction.cpp) build the
// same way are the shared functions at the end.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/decoded_record.h"

namespace orv {

using RowCells = std::vector<std::string>;

// A kind's pre-test: two columns, each with the test its value must pass.
// The tests take a text also as its raw bytes, not yet checked to be UTF-8
// (they read such bytes as the empty value they decode to), so that they can
// run column by column before a record is built.
struct Pretest {
  using ValueTest = bool (*)(std::string_view value);
  std::size_t firstColumn;
  ValueTest first;
  std::size_t secondColumn;
  ValueTest second;
};
bool Passes(const Pretest& pretest, const DecodedRecord& record);

// Number (column 1) is a phone number and date (column 2) a record date.
Pretest CallPretest();
bool PassesCallPretest(const DecodedRecord& record);
// ID, number, rendered date, duration, type, and as name the first text from
// column 5 on ("CN", the country code some phones store there, gives none).
RowCells BuildCallRow(const DecodedRecord& record, const std::string& dbResultSn);

// Address (column 2) is a phone number and column `dateColumn` a record date.
Pretest MessagePretest(std::size_t dateColumn);
bool PassesMessagePretest(const DecodedRecord& record, std::size_t dateColumn);
// The row when the record holds a body (the first non-empty text from column 3
// on) or ends at its date column.
std::optional<RowCells> BuildMessageRow(const DecodedRecord& record, std::size_t dateColumn,
                                        const std::string& dbResultSn);

// mimetype_id (column 2) is "NoUser" or 1 to 20; raw_contact_id (column 3) is
// "NoUser", empty or digits.
Pretest DataPretest();
bool PassesDataPretest(const DecodedRecord& record);
// The row when mimetype_id is not 4 and data1 (the first text from column 4
// on) is a phone number ("Tel") or a name ("Name").
std::optional<RowCells> BuildDataRow(const DecodedRecord& record, const std::string& dbResultSn);

// Shared by the rows of live and carved records.
enum class RecordOrigin { kLive, kCarved };
// The call row of a record: ID, number, `date` as rendered, duration, type,
// the caller's name (the first text from column 5 on, where some phones store
// the country: "CN" gives no name, and "中国" none on a live row), DEL "DEL"
// when ID is the deleted mark "-1".
RowCells CallRowCells(const DecodedRecord& record, std::string date, const std::string& dbResultSn,
                      RecordOrigin origin);
// The flag of a contacts-data row: "Tel" when data1 is a phone number, "Name"
// when it is a person's name; empty when it is neither (no row).
std::string ContactDataFlag(std::string_view data1);
// raw_contact_id as a row shows it: "1" where the record has none ("NoUser").
std::string RawContactIdCell(std::string_view value);
// "DEL" for the deleted mark "-1", else empty.
std::string DeletedMarkFor(std::string_view id);

}  // namespace orv
