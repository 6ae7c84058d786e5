#include "scan/owner_profile.h"

#include "scan/record_tests.h"

namespace orv {
namespace {

bool AtProfileBase(const RowView& row, std::size_t column) {
  if (column >= row.size()) return false;
  const auto id = ParseInt64(row[column]);
  return id && *id >= kProfileIdBase;
}

}  // namespace

bool IsOwnerRow(const RowView& row) {
  return AtProfileBase(row, fuck1::kId) || AtProfileBase(row, fuck1::kRawContactId);
}

std::size_t MarkOwnerRows(ResultTables& tables) {
  return tables.markRows(
      ResultTable::kFuck1, fuck1::kDel, fuck1::kOwnerMark,
      [](const RowView& row) { return row[fuck1::kDel].empty() && IsOwnerRow(row); });
}

std::string OwnerRowsText(std::size_t rows) {
  return "机主资料(profile.db):" + std::to_string(rows) + "条记录,已标记为机主本人,不列入联系人";
}

}  // namespace orv
