#include "results/tsave.h"

#include <gtest/gtest.h>

#include "recording_view.h"
#include "results/csv_lines.h"
#include "results/text_file.h"
#include "test_files.h"

namespace orv {
namespace {

using testing::ReadBytes;
using testing::RecordingView;
using testing::TempDir;

TEST(CsvLinesTest, EveryFieldIsFollowedByAComma) {
  const ListSnapshot list{4, {{"1", "张三", "12345", ""}, {"2", "", "", "110"}}};
  const auto lines = ResultCsvLines(list, PreviewKind::kContacts);
  ASSERT_TRUE(lines);
  EXPECT_EQ(*lines, (std::vector<std::string>{"1,张三,12345,,", "2,,,110,"}));
}

TEST(CsvLinesTest, OnlyTheTextOfMessagesIsCleaned) {
  const std::string text = "a,b\r\nc\n";
  const ListSnapshot messages{5, {{"1", "接收", "2016-05-05 12:00:00", "1,0", text}}};
  EXPECT_EQ(ResultCsvLines(messages, PreviewKind::kMessages)->front(),
            "1,接收,2016-05-05 12:00:00,1,0,a，bc,");
  const ListSnapshot calls{6, {{"1", "接听", "5", "d", text, "110"}}};
  EXPECT_EQ(ResultCsvLines(calls, PreviewKind::kCalls)->front(), "1,接听,5,d," + text + ",110,");
}

TEST(CsvLinesTest, ARowShortOfCellsIsRefused) {
  EXPECT_FALSE(ResultCsvLines({4, {{"1", "张三", "12345"}}}, PreviewKind::kContacts));
}

TEST(TsaveTest, WritesGb18030ByDefaultAndReports) {
  TempDir dir;
  const std::string path = dir.file("out.csv");
  RecordingView view;
  const ListSnapshot list{4, {{"1", "张三", "12345", ""}, {"2", "笑😀", "110", " "}}};
  EXPECT_TRUE(Tsave(list, path, PreviewKind::kContacts, FileEncoding::kGb18030, view).run());
  EXPECT_EQ(ReadBytes(path),
            "1,\xD5\xC5\xC8\xFD,12345,,\r\n"
            "2,\xD0\xA6\x94\x39\xFC\x36,110, ,\r\n");
  const std::vector<std::string> events = {"status 保存结果",      "log 操作 开始合成",
                                           "log 操作 开始完毕",    "log 操作 保存结果完毕",
                                           "message 保存结果完毕", "status 就绪"};
  EXPECT_EQ(view.events, events);
  EXPECT_EQ(view.messages[0].caption, "提示");
  EXPECT_EQ(view.status[1], "");
}

TEST(TsaveTest, ACharacterGb18030CannotHoldIsMarkedAndLogged) {
  TempDir dir;
  const std::string path = dir.file("out.csv");
  RecordingView view;
  const ListSnapshot list{4, {{"1", "王\xEE\x9E\x8D", "12345", ""}}};  // U+E78D has no form
  EXPECT_TRUE(Tsave(list, path, PreviewKind::kContacts, FileEncoding::kGb18030, view).run());
  EXPECT_EQ(ReadBytes(path), "1,\xCD\xF5?,12345,,\r\n");
  EXPECT_EQ(view.events[3], "log 提示 " + UnconvertedCharactersText(1));
  EXPECT_EQ(view.events[4], "log 操作 保存结果完毕");
}

TEST(TsaveTest, WritesUtf8WithAByteOrderMarkWhenAsked) {
  TempDir dir;
  const std::string path = dir.file("out.csv");
  RecordingView view;
  const ListSnapshot list{5, {{"1", "发送", "d", "10086", "好,的"}}};
  EXPECT_TRUE(Tsave(list, path, PreviewKind::kMessages, FileEncoding::kUtf8WithBom, view).run());
  EXPECT_EQ(ReadBytes(path),
            "\xEF\xBB\xBF"
            "1,发送,d,10086,好，的,\r\n");
}

TEST(TsaveTest, AnEmptyListGivesAnEmptyFile) {
  TempDir dir;
  const std::string path = dir.file("out.csv");
  RecordingView view;
  EXPECT_TRUE(Tsave({4, {}}, path, PreviewKind::kContacts, FileEncoding::kUtf8WithBom, view).run());
  EXPECT_EQ(ReadBytes(path), "");
}

TEST(TsaveTest, AFailedWriteIsReportedAndLeavesNoFile) {
  TempDir dir;
  const std::string path = dir.file("missing/out.csv");
  RecordingView view;
  EXPECT_FALSE(
      Tsave({4, {{"1", "a", "b", "c"}}}, path, PreviewKind::kContacts, FileEncoding::kGb18030, view)
          .run());
  const std::vector<std::string> events = {"status 保存结果",       "log 操作 开始合成",
                                           "log 操作 开始完毕",     "message 保存结果失败",
                                           "log 操作 保存结果失败", "status 就绪"};
  EXPECT_EQ(view.events, events);
  EXPECT_TRUE(dir.entries().empty());
}

TEST(TsaveTest, ARowShortOfCellsFailsWithoutTouchingTheFile) {
  TempDir dir;
  const std::string path = dir.file("out.csv");
  testing::WriteBytes(path, "old");
  RecordingView view;
  EXPECT_FALSE(
      Tsave({4, {{"1", "a", "b"}}}, path, PreviewKind::kContacts, FileEncoding::kGb18030, view)
          .run());
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(view.events.back(), "status 就绪");
  EXPECT_EQ(view.messages.back().text, "保存结果失败");
}

}  // namespace
}  // namespace orv
