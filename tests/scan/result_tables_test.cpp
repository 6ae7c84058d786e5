#include "scan/result_tables.h"

#include <gtest/gtest.h>

#include <thread>

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

TEST(ResultTablesTest, TextSortFoldsLettersKeepsTiesInOrderAndReadsMissingCellsEmpty) {
  struct Case {
    bool ascending;
    std::vector<std::string> sns;  // SN order after the sort
  };
  // Start-Offset cells; "b" and "B" tie, as do the two empty cells.
  const std::vector<std::string> cells = {"b", "", "A", "B", "", "c"};
  const Case cases[] = {{true, {"2", "5", "3", "1", "4", "6"}},
                        {false, {"6", "1", "4", "3", "2", "5"}}};
  for (const Case& c : cases) {
    ResultTables tables;
    for (const std::string& cell : cells) tables.append(ResultTable::kDbResult, {cell});
    tables.sortByTextColumn(ResultTable::kDbResult, db_result::kStartOffset, c.ascending);
    EXPECT_EQ(Column(tables, ResultTable::kDbResult, db_result::kSn), c.sns) << c.ascending;
    tables.sortByTextColumn(ResultTable::kDbResult, 40, c.ascending);  // no such column
    EXPECT_EQ(Column(tables, ResultTable::kDbResult, db_result::kSn), c.sns) << c.ascending;
  }
}

TEST(ResultTablesTest, MarkAndEditChangeOnlyTheRowsTheyPick) {
  struct Case {
    const char* name;
    std::function<std::size_t(ResultTables&)> change;
    std::size_t result;
    std::vector<std::string> ids;  // after the change
    std::vector<std::string> dels;
  };
  const Case cases[] = {
      {"mark the carved rows",
       [](ResultTables& t) {
         return t.markRows(ResultTable::kFuck2, fuck2::kDel, "DEL",
                           [](const RowView& row) { return row[fuck2::kId] == "-1"; });
       },
       2,
       {"1", "-1", "3", "-1"},
       {"", "DEL", "", "DEL"}},
      {"mark past the last column",
       [](ResultTables& t) {
         return t.markRows(ResultTable::kFuck2, 11, "x", [](const RowView&) { return true; });
       },
       0,
       {"1", "-1", "3", "-1"},
       {"", "", "", ""}},
      {"remove the carved rows",
       [](ResultTables& t) {
         return t.editRows(ResultTable::kFuck2,
                           [](TableRow& row) { return row[fuck2::kId] != "-1"; });
       },
       2,
       {"1", "3"},
       {"", ""}},
      {"edit cells and remove a row",
       [](ResultTables& t) {
         return t.editRows(ResultTable::kFuck2, [](TableRow& row) {
           row[fuck2::kDel] = std::string(200, 'h') + row[fuck2::kId];
           return row[fuck2::kId] != "3";
         });
       },
       1,
       {"1", "-1", "-1"},
       {std::string(200, 'h') + "1", std::string(200, 'h') + "-1", std::string(200, 'h') + "-1"}},
  };
  for (const Case& c : cases) {
    ResultTables tables;
    for (const char* id : {"1", "-1", "3", "-1"})
      tables.append(ResultTable::kFuck2, {id, "13800138000"});
    EXPECT_EQ(c.change(tables), c.result) << c.name;
    EXPECT_EQ(Column(tables, ResultTable::kFuck2, fuck2::kId), c.ids) << c.name;
    EXPECT_EQ(Column(tables, ResultTable::kFuck2, fuck2::kDel), c.dels) << c.name;
    // The cells nobody changed stay.
    for (const std::string& tel : Column(tables, ResultTable::kFuck2, fuck2::kTel1))
      EXPECT_EQ(tel, "13800138000") << c.name;
  }
}

TEST(ResultTablesTest, ManyMarksKeepEveryRowWhole) {
  // Enough rewritten rows to make their old copies outweigh the table.
  ResultTables tables;
  const std::string body(500, 'b');
  for (int i = 0; i < 4000; ++i)
    tables.append(ResultTable::kFuck3, {std::to_string(i), "", "", "", "", body});
  for (const char* mark : {"a", "bb", "ccc"})
    EXPECT_EQ(tables.markRows(ResultTable::kFuck3, fuck3::kDel, mark,
                              [](const RowView&) { return true; }),
              4000u);
  std::size_t index = 0;
  tables.forEachRow(ResultTable::kFuck3, [&](const RowView& row) {
    EXPECT_EQ(row[fuck3::kId], std::to_string(index));
    EXPECT_EQ(row[fuck3::kBody], body);
    EXPECT_EQ(row[fuck3::kDel], "ccc");
    ++index;
    return true;
  });
  EXPECT_EQ(index, 4000u);
}

TEST(ResultTablesTest, WalkVisitsTheRowsHeldWhenItStartsAndEndsWhenTheTableIsReshaped) {
  struct Case {
    const char* name;
    // Run while the walk visits its 300th row (the walk takes rows in batches).
    std::function<void(ResultTables&)> meanwhile;
    bool complete;  // when not, the walk ends after the batch it was in
  };
  const Case cases[] = {
      {"nothing", [](ResultTables&) {}, true},
      {"rows appended", [](ResultTables& t) { t.append(ResultTable::kFuck2, {"x"}); }, true},
      {"rows marked",
       [](ResultTables& t) {
         t.markRows(ResultTable::kFuck2, fuck2::kDel, "DEL", [](const RowView&) { return true; });
       },
       true},
      {"table cleared", [](ResultTables& t) { t.clear(ResultTable::kFuck2); }, false},
      {"table sorted",
       [](ResultTables& t) { t.sortByTextColumn(ResultTable::kFuck2, fuck2::kId, false); }, false},
      {"a row removed",
       [](ResultTables& t) {
         t.editRows(ResultTable::kFuck2, [](TableRow& row) { return row[fuck2::kId] != "5"; });
       },
       false},
      {"another table cleared", [](ResultTables& t) { t.clear(ResultTable::kFuck3); }, true},
  };
  for (const Case& c : cases) {
    ResultTables tables;
    for (int i = 0; i < 1000; ++i) tables.append(ResultTable::kFuck2, {std::to_string(i)});
    std::size_t visited = 0;
    const bool complete = tables.forEachRow(ResultTable::kFuck2, [&](const RowView& row) {
      EXPECT_EQ(row.size(), ResultTableColumns(ResultTable::kFuck2).size());
      if (++visited == 300) c.meanwhile(tables);  // the tables are not locked here
      return true;
    });
    EXPECT_EQ(complete, c.complete) << c.name;
    if (c.complete) {
      EXPECT_EQ(visited, 1000u) << c.name;
    } else {
      EXPECT_LT(visited, 1000u) << c.name;
    }
  }
  ResultTables tables;
  for (int i = 0; i < 10; ++i) tables.append(ResultTable::kFuck1, {std::to_string(i)});
  std::size_t visited = 0;
  EXPECT_FALSE(
      tables.forEachRow(ResultTable::kFuck1, [&](const RowView&) { return ++visited < 4; }));
  EXPECT_EQ(visited, 4u);
}

TEST(ResultTablesTest, ConcurrentAppendsAndReadersSeeWholeRows) {
  ResultTables tables;
  constexpr int kWriters = 2;
  constexpr int kRowsEach = 20000;
  std::atomic<bool> done{false};
  std::atomic<std::size_t> badRows{0};
  // Every row holds its writer and number in ID and the same text in Body.
  auto wholeRow = [](const RowView& row) {
    return row.size() == 11 && row[fuck3::kBody] == std::string(row[fuck3::kId]) + "/body";
  };
  std::thread reader([&] {
    while (!done.load()) {
      tables.forEachRow(ResultTable::kFuck3, [&](const RowView& row) {
        if (!wholeRow(row)) ++badRows;
        return true;
      });
      const std::size_t count = tables.rowCount(ResultTable::kFuck3);
      if (count != 0 && !wholeRow(tables.row(ResultTable::kFuck3, count - 1))) ++badRows;
    }
  });
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      for (int i = 0; i < kRowsEach; ++i) {
        const std::string id = std::to_string(w) + ":" + std::to_string(i);
        tables.append(ResultTable::kFuck3, {id, "", "", "", "", id + "/body"});
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  done = true;
  reader.join();
  EXPECT_EQ(badRows.load(), 0u);
  // Serial numbers are unique and count up in the order rows were added.
  const auto sns = Column(tables, ResultTable::kFuck3, fuck3::kSn);
  ASSERT_EQ(sns.size(), static_cast<std::size_t>(kWriters * kRowsEach));
  for (std::size_t i = 0; i < sns.size(); ++i) ASSERT_EQ(sns[i], std::to_string(i + 1));
}

}  // namespace
}  // namespace orv
