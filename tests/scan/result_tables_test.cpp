#include "scan/result_tables.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

std::vector<std::string> Column(const ResultTables& tables, ResultTable table, std::size_t column) {
  std::vector<std::string> cells;
  for (const TableRow& row : tables.rows(table)) cells.push_back(row[column]);
  return cells;
}

TEST(ResultTablesTest, SerialNumbersCountRowsHeldAndRestartAfterClearing) {
  ResultTables tables;
  EXPECT_EQ(tables.append(ResultTable::kFuck2, {"5"}), 1);
  EXPECT_EQ(tables.append(ResultTable::kFuck2, {"6"}), 2);
  EXPECT_EQ(tables.append(ResultTable::kFuck3, {"7"}), 1);
  const TableRow row = tables.row(ResultTable::kFuck2, 1);
  ASSERT_EQ(row.size(), ResultTableColumns(ResultTable::kFuck2).size());  // padded to the columns
  EXPECT_EQ(row[fuck2::kSn], "2");
  tables.clearAll();
  EXPECT_EQ(tables.append(ResultTable::kFuck2, {"8"}), 1);
}

TEST(ResultTablesTest, CompletionSortPutsDeletedRowsFirstAndKeepsUnreadableKeysInPlace) {
  ResultTables tables;
  for (const char* id : {"12", "-1", "3", "x", "7", "-1", "2"})
    tables.append(ResultTable::kFuck2, {id});
  tables.sortByIntegerColumn(ResultTable::kFuck2, fuck2::kId, fuck2::kSn);
  // "x" stays fourth; the rows on each side are sorted, equal ids in added order.
  EXPECT_EQ(Column(tables, ResultTable::kFuck2, fuck2::kId),
            (std::vector<std::string>{"-1", "3", "12", "x", "-1", "2", "7"}));
  EXPECT_EQ(Column(tables, ResultTable::kFuck2, fuck2::kSn),
            (std::vector<std::string>{"2", "3", "1", "4", "6", "7", "5"}));
}

TEST(ResultTablesTest, ContactRowsSortByRawContactThenLiveIdsThenCarvedRows) {
  ResultTables tables;
  // ID, mimetype_id, raw_contact_id, Data1, flag
  tables.append(ResultTable::kFuck1, {"9", "", "2", "13800138000", "Tel"});
  tables.append(ResultTable::kFuck1, {"-1", "5", "2", "张三", "Name"});
  tables.append(ResultTable::kFuck1, {"8", "", "2", "张三", "Name"});
  tables.append(ResultTable::kFuck1, {"3", "", "1", "李四", "Name"});
  tables.append(ResultTable::kFuck1, {"4", "", "1", "a@b.cn", ""});
  tables.sortByIntegerColumn(ResultTable::kFuck1, fuck1::kRawContactId, fuck1::kId);
  EXPECT_EQ(Column(tables, ResultTable::kFuck1, fuck1::kId),
            (std::vector<std::string>{"3", "4", "8", "9", "-1"}));
  tables.purgeFuck1();
  EXPECT_EQ(Column(tables, ResultTable::kFuck1, fuck1::kId),
            (std::vector<std::string>{"3", "8", "9", "-1"}));
}

}  // namespace
}  // namespace orv
