#include "scan/scan_findings.h"

namespace orv {
namespace {

FoundRows CountRows(const ResultTables& tables, ResultTable table, std::size_t delColumn) {
  FoundRows found;
  tables.forEachRow(table, [&](const RowView& row) {
    const std::string_view mark = row[delColumn];
    // An old version of a record is counted with its newer one.
    if (mark == kDeletedRowMark) {
      ++found.deleted;
    } else if (!IsOldVersionMark(mark)) {
      ++found.live;
    }
    return true;
  });
  return found;
}

std::string Counted(const char* what, const FoundRows& found, const char* unit) {
  return std::string(what) + "：正常" + std::to_string(found.live) + unit + "，删除" +
         std::to_string(found.deleted) + unit;
}

}  // namespace

ScanFindings SummariseFindings(const ResultTables& tables) {
  return {tables.rowCount(ResultTable::kDbResult),
          CountRows(tables, ResultTable::kFuck2, fuck2::kDel),
          CountRows(tables, ResultTable::kFuck3, fuck3::kDel),
          CountRows(tables, ResultTable::kFuck1, fuck1::kDel)};
}

std::string ScanFindingsText(const ScanFindings& summary) {
  return "发现数据页" + std::to_string(summary.pages) + "个；" +
         Counted("通话记录", summary.calls, "条") + "；" + Counted("短信", summary.messages, "条") +
         "；" + Counted("联系人数据", summary.contactRows, "行");
}

}  // namespace orv
