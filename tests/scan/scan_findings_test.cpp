#include "scan/scan_findings.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

// A row of `table` with `del` in its DEL column.
void AddRow(ResultTables& tables, ResultTable table, std::size_t delColumn, const char* del) {
  std::vector<std::string> cells(ResultTableColumns(table).size() - 1);
  cells[delColumn - 1] = del;
  tables.append(table, std::move(cells));
}

TEST(ScanFindingsTest, CountsLiveAndDeletedRowsOfEachTable) {
  ResultTables tables;
  for (int i = 0; i < 3; ++i) tables.append(ResultTable::kDbResult, {"0"});
  AddRow(tables, ResultTable::kFuck2, fuck2::kDel, "");
  AddRow(tables, ResultTable::kFuck2, fuck2::kDel, "DEL");
  AddRow(tables, ResultTable::kFuck2, fuck2::kDel, "DEL");
  AddRow(tables, ResultTable::kFuck3, fuck3::kDel, "");
  AddRow(tables, ResultTable::kFuck3, fuck3::kDel, "del");  // only the exact mark counts
  AddRow(tables, ResultTable::kFuck1, fuck1::kDel, "DEL");
  const ScanFindings summary = SummariseFindings(tables);
  EXPECT_EQ(summary.pages, 3u);
  EXPECT_EQ(summary.calls.live, 1u);
  EXPECT_EQ(summary.calls.deleted, 2u);
  EXPECT_EQ(summary.messages.live, 2u);
  EXPECT_EQ(summary.messages.deleted, 0u);
  EXPECT_EQ(summary.contactRows.live, 0u);
  EXPECT_EQ(summary.contactRows.deleted, 1u);
  EXPECT_EQ(ScanFindingsText(summary),
            "发现数据页3个；通话记录：正常1条，删除2条；短信：正常2条，删除0条；"
            "联系人数据：正常0行，删除1行");
}

TEST(ScanFindingsTest, OldVersionsAreCountedWithTheirNewerOnesAndTheOwnersRowsAsLive) {
  ResultTables tables;
  AddRow(tables, ResultTable::kFuck2, fuck2::kDel, "Stale");
  AddRow(tables, ResultTable::kFuck2, fuck2::kDel, "");
  AddRow(tables, ResultTable::kFuck3, fuck3::kDel, "History");
  AddRow(tables, ResultTable::kFuck1, fuck1::kDel, "Owner");
  const ScanFindings summary = SummariseFindings(tables);
  EXPECT_EQ(summary.calls.live, 1u);
  EXPECT_EQ(summary.calls.deleted, 0u);
  EXPECT_EQ(summary.messages.live, 0u);
  EXPECT_EQ(summary.contactRows.live, 1u);
}

TEST(ScanFindingsTest, EmptyTablesGiveZeros) {
  EXPECT_EQ(ScanFindingsText(SummariseFindings(ResultTables())),
            "发现数据页0个；通话记录：正常0条，删除0条；短信：正常0条，删除0条；"
            "联系人数据：正常0行，删除0行");
}

}  // namespace
}  // namespace orv
