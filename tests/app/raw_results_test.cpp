// The raw-results window: its lists follow the store, sort by a column and
// export a table.

#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include "app/tform1.h"
#include "app/tform5.h"
#include "gui_test.h"
#include "platform/clock.h"

namespace orv::testing {
namespace {

class RawResultsTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    createForms();
  }
  TForm5& raw() { return *forms().form5; }
  ResultTables& tables() { return raw().tables(); }
  std::vector<std::string> ids(ResultTable table, std::size_t column) {
    std::vector<std::string> cells;
    for (const TableRow& row : tables().rows(table)) cells.push_back(row[column]);
    return cells;
  }
};

TEST_F(RawResultsTest, ListsFollowTheStoreInBatches) {
  tables().append(ResultTable::kFuck2, {"7", "10086"});
  EXPECT_EQ(raw().lv4->model()->rowCount(), 0);  // not yet: the timer brings it
  ASSERT_TRUE(WaitUntil([&] { return raw().lv4->model()->rowCount() == 1; }, 2000));
  EXPECT_EQ(raw().lv4->model()->index(0, 0).data().toString(), "1");
  EXPECT_EQ(raw().lv4->model()->index(0, 2).data().toString(), "10086");
  EXPECT_EQ(raw().lv4->model()->headerData(6, Qt::Horizontal).toString(), "DEL");
  EXPECT_EQ(raw().lv5->model()->headerData(8, Qt::Horizontal).toString(), "DEL");
  tables().clearAll();
  raw().refreshLists();
  EXPECT_EQ(raw().lv4->model()->rowCount(), 0);
}

TEST_F(RawResultsTest, CallAndMessageClicksFlipTheSharedDirection) {
  for (const char* id : {"5", "-1", "12"}) {
    tables().append(ResultTable::kFuck2, {id});
    tables().append(ResultTable::kFuck1, {id});
  }
  using V = std::vector<std::string>;
  // Cleared at start: descending. A click in Fuck1 keeps the direction...
  raw().lv3ColumnClick(1);
  EXPECT_EQ(ids(ResultTable::kFuck1, 1), (V{"5", "12", "-1"}));
  raw().lv3ColumnClick(1);
  EXPECT_EQ(ids(ResultTable::kFuck1, 1), (V{"5", "12", "-1"}));
  // ... one in Fuck2 flips it after sorting.
  ClickHeader(raw().lv4->horizontalHeader(), 1);
  EXPECT_EQ(ids(ResultTable::kFuck2, 1), (V{"5", "12", "-1"}));
  raw().lv3ColumnClick(1);
  EXPECT_EQ(ids(ResultTable::kFuck1, 1), (V{"-1", "12", "5"}));
  ClickHeader(raw().lv4->horizontalHeader(), 1);
  EXPECT_EQ(ids(ResultTable::kFuck2, 1), (V{"-1", "12", "5"}));
  raw().lv1ColumnClick(1);  // DB-Result keeps it too
  raw().lv3ColumnClick(1);
  EXPECT_EQ(ids(ResultTable::kFuck1, 1), (V{"5", "12", "-1"}));
}

TEST_F(RawResultsTest, ExportWritesTheTableWithCaretsUnderTheSuffixedName) {
  const FixedClock mayDay({1714571109000, 0});
  ScopedClockOverride clock(mayDay);
  tables().append(ResultTable::kDbResult, {"139264", "0,T,5", "9"});
  const QString chosen = scratchFile("pages.orv");
  dialogChoices = {chosen};
  raw().N1->trigger();
  std::vector<ShownBox> boxes;
  ASSERT_TRUE(WaitUntil([&] {
    for (ShownBox& box : takeBoxes()) boxes.push_back(box);
    return !boxes.empty();
  }));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "成功保存！");
  EXPECT_EQ(boxes[0].caption, "成功");
  EXPECT_EQ(dialogPresets.back(), "Torvane-DbResult-2024-05-01 13-45-09.orv");
  QFile file(chosen + "NQT-ORV Lab.log");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("1^139264^0,T,5^9^^^^^^\r\n"));
}

}  // namespace
}  // namespace orv::testing
