#include <algorithm>

#include "scan/carved_rows.h"
#include "scan/page_classifier.h"
#include "scan/page_format.h"
#include "scan/record_tests.h"

namespace orv {
namespace {

constexpr std::string_view kDeletedId = "-1";

bool AddCallRow(const DecodedRecord& r, const std::string& sn, ResultTables& tables) {
  if (r.columnCount() < 5 || !IsPhoneNumber(r.values[1])) return true;
  const std::string& id = r.values[0];
  if (id == kDeletedId && !IsRecordDate(r.values[2])) return true;
  const auto date = FormatRecordDate(r.values[2]);
  if (!date) return false;
  tables.append(ResultTable::kFuck2, CallRowCells(r, *date, sn, RecordOrigin::kLive));
  return true;
}

// The column holding a message's type follows its status column, the first
// column from index 3 on whose value is "-1" on any record of the page.
std::size_t SmsTypeColumn(const PageRecords& page) {
  for (const LiveRecord& live : page.records) {
    const auto& values = live.record.values;
    for (std::size_t i = 3; i < values.size(); ++i)
      if (values[i] == kDeletedId) return i + 1;
  }
  return 0;
}

bool AddSmsRow(const DecodedRecord& r, std::size_t typeColumn, const std::string& sn,
               ResultTables& tables) {
  if (r.columnCount() < 3 || !IsPhoneNumber(r.values[2])) return true;
  std::string date;
  std::string body;
  bool dateSeen = false;
  for (std::size_t i = 3; i < r.columnCount(); ++i) {
    if (r.labels[i] == '5' && !dateSeen) {
      dateSeen = true;
      if (!IsRecordDate(r.values[i])) return true;
      date = *FormatRecordDate(r.values[i]);
    } else if (r.labels[i] == 'T' && !r.values[i].empty()) {
      body = r.values[i];
      break;
    }
  }
  std::string type = "3";
  if (typeColumn != 0) type = typeColumn < r.columnCount() ? r.values[typeColumn] : "";
  const std::string& id = r.values[0];
  tables.append(ResultTable::kFuck3,
                {id, r.values[2], date, type, "", body, "", DeletedMarkFor(id), "Sms", sn});
  return true;
}

void AddDataRow(const DecodedRecord& r, const std::string& sn, ResultTables& tables) {
  if (r.columnCount() < 4 || r.values[2] == "4") return;
  const std::string mimetype = r.labels[2] == '8' ? "1" : "";
  // A live record with no text column still gives a row (empty flag, purged
  // at the end), a carved one none: without a text, carved bytes are more
  // likely no record at all.
  std::string data1;
  std::string flag;
  if (const auto column = r.firstTextColumn(4)) {
    data1 = r.values[*column];
    flag = ContactDataFlag(data1);
    if (flag.empty()) return;
  }
  const std::string& id = r.values[0];
  tables.append(ResultTable::kFuck1,
                {id, mimetype, RawContactIdCell(r.values[3]), data1, flag, sn, DeletedMarkFor(id)});
}

}  // namespace

bool extractPageRecords(PageKind kind, const PageRecords& page, const std::string& dbResultSn,
                        ResultTables& tables) {
  const std::size_t typeColumn = kind == PageKind::kSms ? SmsTypeColumn(page) : 0;
  for (const LiveRecord& live : page.records) {
    const DecodedRecord& r = live.record;
    if (r.columnCount() == 0) continue;
    switch (kind) {
      case PageKind::kCall:
        if (!AddCallRow(r, dbResultSn, tables)) return false;
        break;
      case PageKind::kSms:
        AddSmsRow(r, typeColumn, dbResultSn, tables);
        break;
      case PageKind::kData:
        AddDataRow(r, dbResultSn, tables);
        break;
    }
  }
  return true;
}

PageGaps computePageGaps(std::span<const std::uint16_t> pointers, const PageRecords& page,
                         std::size_t columnCount) {
  if (pointers.size() != page.records.size())
    return {{static_cast<std::uint32_t>(kLeafHeaderBytes), static_cast<std::uint32_t>(kPageBytes)}};
  struct Extent {
    std::int64_t start, end;
  };
  std::vector<Extent> cells;
  cells.reserve(pointers.size());
  for (std::size_t i = 0; i < pointers.size(); ++i)
    cells.push_back({pointers[i], std::int64_t{pointers[i]} + page.records[i].cellLength});
  std::sort(cells.begin(), cells.end(),
            [](const Extent& a, const Extent& b) { return a.start < b.start; });

  PageGaps gaps;
  if (cells.empty()) return gaps;
  const auto k = static_cast<std::int64_t>(columnCount);
  // Shorter regions cannot hold a record of K columns' serial types.
  const auto pageEnd = static_cast<std::int64_t>(kPageBytes);
  const auto header =
      static_cast<std::int64_t>(cells.size() * kCellPointerBytes + kLeafHeaderBytes);
  const std::int64_t first = cells.front().start;
  if (header < first && first - header > k + 2 && first <= pageEnd)
    gaps.push_back({static_cast<std::uint32_t>(header), static_cast<std::uint32_t>(first)});
  for (std::size_t i = 0; i + 1 < cells.size(); ++i) {
    const std::int64_t end = cells[i].end;
    const std::int64_t next = cells[i + 1].start;
    if (end >= next) continue;
    const std::int64_t gap = next - end;
    if (gap > k + 2 && gap < end && end <= pageEnd)
      gaps.push_back({static_cast<std::uint32_t>(end + 1), static_cast<std::uint32_t>(next)});
  }
  const std::int64_t last = cells.back().end;
  if (last < pageEnd && pageEnd - last > k + 2)
    gaps.push_back({static_cast<std::uint32_t>(last), static_cast<std::uint32_t>(pageEnd)});
  return gaps;
}

}  // namespace orv
