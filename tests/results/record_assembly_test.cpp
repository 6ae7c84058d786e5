#include "results/record_assembly.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

// Fuck2 cells after SN: ID, Tel1, Data, SMSType, duration, DEL, Type, name, Flag, DB-ResultNum.
void AddCall(ResultTables& tables, std::string id, std::string type, std::string duration,
             std::string date, std::string name, std::string number) {
  tables.append(ResultTable::kFuck2,
                {id, std::move(number), std::move(date), "", std::move(duration),
                 id == "-1" ? "DEL" : "", std::move(type), std::move(name), "Call", "1"});
}

// Fuck3 cells after SN: ID, Tel1, Data, SMSType, duration, Body, Type, DEL, Flag, DB-ResultNum.
void AddMessage(ResultTables& tables, std::string id, std::string type, std::string date,
                std::string body, std::string number) {
  tables.append(ResultTable::kFuck3, {id, std::move(number), std::move(date), std::move(type), "",
                                      std::move(body), "", id == "-1" ? "DEL" : "", "Sms", "1"});
}

TEST(TypeWordsTest, CallAndMessageTypes) {
  struct Case {
    const char* raw;
    const char* call;
    const char* message;
  };
  const Case cases[] = {{"1", "接听", "接收"}, {"NoUser", "接听", "接收"}, {"2", "拨出", "发送"},
                        {"3", "未接", "草稿"}, {"4", "未知", "未知"},      {"", "未知", "未知"},
                        {"01", "未知", "未知"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.raw);
    EXPECT_EQ(CallTypeWord(c.raw), c.call);
    EXPECT_EQ(MessageTypeWord(c.raw), c.message);
  }
}

TEST(RecordAssemblyTest, CallsAreDeduplicatedSortedAndNumberedPerList) {
  ResultTables tables;
  AddCall(tables, "7", "2", "35", "2015-03-02 10:00:00", "张三", "13800000000");
  AddCall(tables, "3", "NoUser", "NoUser", "2015-03-01 09:00:00", "", "10086");
  AddCall(tables, "8", "2", "35", "2015-03-02 10:00:00", "张三", "13800000000");  // a copy
  AddCall(tables, "-1", "2", "35", "2015-03-02 10:00:00", "张三", "13800000000");
  AddCall(tables, "-1", "9", "0", "2014-01-01 00:00:00", "李四", "13900000000");
  const PreviewLists lists = BuildPreviewLists(PreviewKind::kCalls, tables);
  ASSERT_EQ(lists.columns.size(), 6u);
  EXPECT_EQ(lists.columns[1].caption, "接听/拨出");
  EXPECT_EQ(lists.normal.columnCount, 6u);
  const std::vector<ListRow> normal = {
      {"1", "拨出", "35", "2015-03-02 10:00:00", "张三", "13800000000"},
      {"2", "接听", "0", "2015-03-01 09:00:00", "", "10086"}};  // 拨 B2A6 before 接 BDD3
  const std::vector<ListRow> deleted = {
      {"1", "拨出", "35", "2015-03-02 10:00:00", "张三", "13800000000"},
      {"2", "未知", "0", "2014-01-01 00:00:00", "李四", "13900000000"}};
  EXPECT_EQ(lists.normal.rows, normal);
  EXPECT_EQ(lists.deleted.rows, deleted);
}

TEST(RecordAssemblyTest, CallNamesLongerThanThirtyGbkBytesAreShownEmpty) {
  const std::string fifteen = "一二三四五六七八九十一二三四五";  // 30 bytes in GBK
  EXPECT_EQ(PreviewRow(PreviewKind::kCalls, 1, {"接听", "1", "d", fifteen, "110"})[4], fifteen);
  EXPECT_EQ(PreviewRow(PreviewKind::kCalls, 1, {"接听", "1", "d", fifteen + "六", "110"})[4], "");
  EXPECT_EQ(PreviewRow(PreviewKind::kCalls, 1, {"接听", "1", "d", std::string(31, 'a'), "1"})[4],
            "");
  // Only calls hide long names.
  EXPECT_EQ(PreviewRow(PreviewKind::kContacts, 1, {fifteen + "六", "1", "2"})[1], fifteen + "六");
}

TEST(RecordAssemblyTest, MessagesShowTheNumberBeforeTheText) {
  ResultTables tables;
  AddMessage(tables, "4", "4", "2016-05-05 12:00:00", "晚上见`带反引号", "10086");
  AddMessage(tables, "5", "2", "2016-05-06 12:00:00", "好的", "13800000000");
  const PreviewLists lists = BuildPreviewLists(PreviewKind::kMessages, tables);
  EXPECT_EQ(lists.columns[3].caption, "电话号码");
  EXPECT_EQ(lists.columns[4].caption, "短信内容");
  // 发 B7A2 sorts before 未 CEB4.
  const std::vector<ListRow> normal = {
      {"1", "发送", "2016-05-06 12:00:00", "13800000000", "好的"},
      {"2", "未知", "2016-05-05 12:00:00", "10086", "晚上见`带反引号"}};
  EXPECT_EQ(lists.normal.rows, normal);
  EXPECT_TRUE(lists.deleted.rows.empty());
}

}  // namespace
}  // namespace orv
