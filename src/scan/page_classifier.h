#pragma once
// Which Android table a table leaf page belongs to, the column layouts the
// deleted-record carving needs, the rows a listed page contributes, and the
// free regions of a listed page.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scan/column_parameters.h"
#include "scan/page_gaps.h"
#include "scan/page_records.h"
#include "scan/result_tables.h"

namespace orv {

enum class PageKind { kCall, kSms, kData };

// "Call", "Sms", "Data": the Flag of a DB-Result row.
std::string_view PageKindFlag(PageKind kind);
std::optional<PageKind> PageKindFromFlag(std::string_view flag);

// Decides from the live records of an accepted page (one column count K)
// whether it holds call-log, message or contacts-data records.
[[nodiscard]] std::optional<PageKind> classifyPage(const PageRecords& page);

// Whether classifyPage could name a kind for the page, from its column count
// and its records' labels alone: false means it names none, so the page's
// values need not be decoded.
[[nodiscard]] bool MayClassify(const PageRecords& page);

// The 0-based index of the first 6-byte-integer column of a record's labels,
// the date column of a message page; empty when there is none.
[[nodiscard]] std::optional<std::size_t> FirstDateColumn(const DecodedRecord& record);

// The column parameters learned from the DB-Result rows of the discovery
// pass: for each kind the column count most of its pages have, and the date
// column most message pages of that count have. Rows whose counts are not
// numbers are passed over.
[[nodiscard]] ColumnParameters computeColumnParameters(const std::vector<TableRow>& dbResultRows);

// Adds the rows of a listed page's records to Fuck1, Fuck2 or Fuck3, with
// `dbResultSn` as the page's DB-Result number. Records failing a test are
// left out. Returns false when a value that must be a date is not a number:
// the page's remaining records are then abandoned.
[[nodiscard]] bool extractPageRecords(PageKind kind, const PageRecords& page,
                                      const std::string& dbResultSn, ResultTables& tables);

// The free regions of a listed page: before the first cell, between cells
// and after the last, where each is longer than K + 2 bytes. `pointers` are
// the page's cell offsets, `page.records` their records in the same order.
// When some cell gave no record, the whole page after its header (8..4096).
[[nodiscard]] PageGaps computePageGaps(std::span<const std::uint16_t> pointers,
                                       const PageRecords& page, std::size_t columnCount);

}  // namespace orv
