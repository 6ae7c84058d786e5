#include "results/csv_export.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace orv {
namespace {

using testing::ReadBytes;
using testing::TempDir;

TEST(CsvExportTest, WritesTheNormalAndDeletedListOfEveryKind) {
  TempDir dir;
  ResultTables tables;
  tables.append(ResultTable::kFuck1, {"3", "5", "5", "13800000000", "Tel", "1", ""});
  tables.append(ResultTable::kFuck2, {"-1", "110", "2015-03-02 10:00:00", "", "NoUser", "DEL", "3",
                                      "张三", "Call", "1"});
  tables.append(ResultTable::kFuck3,
                {"-1", "10086", "2016-05-05 12:00:00", "1", "", "a,b\nc", "", "DEL", "Sms", "1"});
  const auto results = ExportPreviewCsvFiles(tables, dir.file(""), FileEncoding::kUtf8WithBom);

  const char* const names[] = {"contacts.csv", "contacts-deleted.csv",
                               "calls.csv",    "calls-deleted.csv",
                               "sms.csv",      "sms-deleted.csv"};
  const std::size_t rows[] = {1, 0, 0, 1, 0, 1};
  ASSERT_EQ(results.size(), 6u);
  for (std::size_t i = 0; i < results.size(); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(results[i].path, dir.file(names[i]));
    EXPECT_FALSE(results[i].error);
    EXPECT_EQ(results[i].rows, rows[i]);
    if (rows[i] == 0) {
      EXPECT_EQ(ReadBytes(results[i].path), "");
    }
  }
  EXPECT_EQ(ReadBytes(dir.file("contacts.csv")),
            "\xEF\xBB\xBF"
            "1,,13800000000,,\r\n");
  EXPECT_EQ(ReadBytes(dir.file("calls-deleted.csv")),
            "\xEF\xBB\xBF"
            "1,未接,0,2015-03-02 10:00:00,张三,110,\r\n");
  EXPECT_EQ(ReadBytes(dir.file("sms-deleted.csv")),
            "\xEF\xBB\xBF"
            "1,接收,2016-05-05 12:00:00,10086,a，bc,\r\n");
}

}  // namespace
}  // namespace orv
