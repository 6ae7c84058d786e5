#include "results/list_to_file.h"

#include <gtest/gtest.h>

#include "recording_view.h"
#include "test_files.h"

namespace orv {
namespace {

using testing::ReadBytes;
using testing::RecordingView;
using testing::TempDir;

const UserMessage kConversionError{"LV转换日志文件出错!", "转换出错", MessageIcon::kWarning};

TEST(ListLinesTest, JoinsCellsWithCaretsAndKeepsCaretsInCells) {
  const ListSnapshot list{3, {{"2024-5-1 13:45:09", "操作", "a^b"}, {"t", "", ""}}};
  const auto lines = ListLines(list);
  ASSERT_TRUE(lines);
  EXPECT_EQ(*lines, (std::vector<std::string>{"2024-5-1 13:45:09^操作^a^b", "t^^"}));
  EXPECT_FALSE(ListLines({3, {{"t", "x"}}}));
}

TEST(Tlvtofile2Test, SavesTheLogAsGbkLines) {
  TempDir dir;
  const std::string path = dir.file("ORV.log");
  RecordingView view;
  const std::vector<LogLine> log = {{"2024-5-1 13:45:09", "操作", "开始"}, {"t", "x", "y"}};
  EXPECT_TRUE(Tlvtofile_2(log, path, FileEncoding::kGb18030, view).run());
  EXPECT_EQ(ReadBytes(path), "2024-5-1 13:45:09^\xB2\xD9\xD7\xF7^\xBF\xAA\xCA\xBC\r\nt^x^y\r\n");
  EXPECT_EQ(view.messages, (std::vector<UserMessage>{{"成功保存日志文件!"}}));
}

TEST(Tlvtofile2Test, AFailureShowsBothMessages) {
  TempDir dir;
  RecordingView view;
  EXPECT_FALSE(
      Tlvtofile_2({{"t", "x", "y"}}, dir.file("no/ORV.log"), FileEncoding::kGb18030, view).run());
  const std::vector<UserMessage> expected = {
      kConversionError,
      {"保存日志文件失败！", "提示", MessageIcon::kWarning, MessageButtons::kYesNo}};
  EXPECT_EQ(view.messages, expected);
}

TEST(TlvtofileTest, ExportsEveryColumnToTheNameWithTheSuffix) {
  TempDir dir;
  ResultTables tables;
  tables.append(ResultTable::kDbResult,
                {"8192", "0,T,5,1,1,", "5", "12288", "4096", "Call", "0D", "", ""});
  RecordingView view;
  EXPECT_TRUE(
      Tlvtofile(tables, ResultTable::kDbResult, dir.file("dump"), FileEncoding::kGb18030, view)
          .run());
  EXPECT_EQ(ReadBytes(dir.file("dumpNQT-ORV Lab.log")),
            "1^8192^0,T,5,1,1,^5^12288^4096^Call^0D^^\r\n");
  EXPECT_EQ(view.messages, (std::vector<UserMessage>{{"成功保存！", "成功"}}));
}

TEST(TlvtofileTest, AFailureShowsBothMessages) {
  TempDir dir;
  ResultTables tables;
  RecordingView view;
  EXPECT_FALSE(
      Tlvtofile(tables, ResultTable::kFuck1, dir.file("no/dump"), FileEncoding::kGb18030, view)
          .run());
  const std::vector<UserMessage> expected = {
      kConversionError,
      {"保存失败，程序将退出!", "保存失败", MessageIcon::kWarning, MessageButtons::kYesNo}};
  EXPECT_EQ(view.messages, expected);
}

TEST(TlvtofileTest, ALargeTableIsWrittenAsTheLinesOfItsRows) {
  TempDir dir;
  ResultTables tables;
  // More rows than a walk takes at once, more bytes than a written piece.
  for (int i = 0; i < 5000; ++i)
    tables.append(ResultTable::kFuck3,
                  {"-1", "13800138000", "2024-05-01 13:45:09", "1", "",
                   std::string(300, 'b') + std::to_string(i), "", "DEL", "Sms", "7"});
  RecordingView view;
  EXPECT_TRUE(
      Tlvtofile(tables, ResultTable::kFuck3, dir.file("dump"), FileEncoding::kGb18030, view).run());
  const auto lines =
      ListLines({ResultTableColumns(ResultTable::kFuck3).size(), tables.rows(ResultTable::kFuck3)});
  ASSERT_TRUE(lines);
  EXPECT_EQ(ReadBytes(dir.file("dumpNQT-ORV Lab.log")),
            EncodeTextLines(*lines, FileEncoding::kGb18030).bytes);
}

}  // namespace
}  // namespace orv
