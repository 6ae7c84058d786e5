#include "results/tyulan.h"

#include <gtest/gtest.h>

#include "recording_view.h"

namespace orv {
namespace {

TEST(PreviewRefusalTest, NamesWhatIsMissing) {
  ResultTables tables;
  tables.append(ResultTable::kFuck2, {"1", "10086"});
  const auto none = PreviewRefusal(std::nullopt, tables);
  ASSERT_TRUE(none);
  EXPECT_EQ(none->text, kNoPreviewKindText);
  EXPECT_EQ(none->caption, "提示");
  const auto empty = PreviewRefusal(PreviewKind::kMessages, tables);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->text, "杯具了,没有发现相关内容!");
  EXPECT_FALSE(PreviewRefusal(PreviewKind::kCalls, tables));
}

TEST(TYuLanTest, FillsBothListsNumberedFromOneWithLogAndStatus) {
  ResultTables tables;
  // Fuck2 cells after SN: ID, Tel1, Data, SMSType, duration, DEL, Type, name, Flag, DB-ResultNum.
  for (int i = 0; i < 600; ++i) {
    tables.append(ResultTable::kFuck2, {std::to_string(i + 1), std::to_string(10000 + i),
                                        "2015-03-02 10:00:00", "", "5", "", "1", "", "Call", "1"});
  }
  tables.append(ResultTable::kFuck2,
                {"-1", "110", "2015-03-02 10:00:00", "", "5", "DEL", "2", "", "Call", "1"});
  tables.append(ResultTable::kFuck2,
                {"-1", "120", "2015-03-02 10:00:00", "", "5", "DEL", "2", "", "Call", "1"});
  testing::RecordingView view;
  TYuLan(PreviewKind::kCalls, tables, view).run();

  ASSERT_EQ(view.columns.size(), 6u);
  EXPECT_EQ(view.columns[0].caption, "编号");
  EXPECT_EQ(view.columns[0].width, 50);
  ASSERT_EQ(view.normal.size(), 600u);
  for (std::size_t i = 0; i < view.normal.size(); ++i) {
    ASSERT_EQ(view.normal[i][0], std::to_string(i + 1));
    ASSERT_EQ(view.normal[i][5], std::to_string(10000 + i));
  }
  ASSERT_EQ(view.deleted.size(), 2u);
  EXPECT_EQ(view.deleted[0], (ListRow{"1", "拨出", "5", "2015-03-02 10:00:00", "", "110"}));
  EXPECT_EQ(view.deleted[1][0], "2");
  EXPECT_GT(view.batches, 2);  // rows arrive in batches, not all at once
  const std::vector<std::string> events = {"status 生成预览", "log 操作 开始生成预览",
                                           "log 操作 生成预览完毕", "status 就绪"};
  EXPECT_EQ(view.events, events);
  EXPECT_EQ(view.status[1], "");
  EXPECT_EQ(view.gaugeMaximum, 1);
  EXPECT_EQ(view.gaugePosition, 1);
}

}  // namespace
}  // namespace orv
