// End to end: a fixture image scanned, assembled and saved as the preview
// CSV files, checked against what the fixture wrote.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "fixtures/demo_image.h"
#include "platform/stop_flag.h"
#include "results/csv_export.h"
#include "scan/record_tests.h"
#include "scan/recording_scan_view.h"
#include "scan/recoverable_rows.h"
#include "scan/tscan.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using fixtures::FixtureTable;

// The lines of a UTF-8 CSV file written by the preview export, split at ",".
std::vector<std::vector<std::string>> ReadCsv(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  std::vector<std::vector<std::string>> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    const std::string line = text.substr(at, end - at);
    at = end == std::string::npos ? text.size() : end + 2;
    std::vector<std::string> fields;
    std::stringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    lines.push_back(fields);
  }
  return lines;
}

std::string CallWord(std::int64_t type) {
  return type == 1 || type == 0 ? "接听" : type == 2 ? "拨出" : type == 3 ? "未接" : "未知";
}

// A message body as the CSV holds it: commas full-width, line breaks gone.
std::string CsvBody(std::string body) {
  std::string out;
  for (char c : body) {
    if (c == ',')
      out += "，";
    else if (c != '\r' && c != '\n')
      out += c;
  }
  return out;
}

TEST(PreviewFixtureTest, CsvFilesHoldEveryCallAndMessageOnceWithItsValues) {
  const auto release = fixtures::AndroidRelease::k4_0;
  const auto demo = fixtures::BuildDemoImage({.seed = 11, .release = release});
  const fs::path dir =
      fs::temp_directory_path() / ("orv-preview-e2e-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path image = dir / "demo.img";
  ASSERT_EQ(fixtures::WriteFileBytes(image.string(), demo.image.bytes), "");
  ResultTables tables;
  RecordingScanView view;
  ClearStop();
  ASSERT_EQ(
      Tscan({image.string(), ScanKind::kContactsCallsSms, LayoutMode::kSpec}, tables, view).run(),
      ScanOutcome::kCompleted);
  for (const auto& file : ExportPreviewCsvFiles(tables, dir.string(), FileEncoding::kUtf8WithBom))
    ASSERT_FALSE(file.error) << file.path;

  // Key: date and number; value: how often the list holds it, and the line.
  struct Seen {
    int count = 0;
    std::vector<std::string> line;
  };
  auto index = [&](const char* name, std::size_t dateField, std::size_t numberField) {
    std::map<std::string, Seen> seen;
    for (const auto& line : ReadCsv(dir / name)) {
      if (line.size() <= std::max(dateField, numberField)) continue;
      Seen& entry = seen[line[dateField] + "|" + line[numberField]];
      ++entry.count;
      entry.line = line;
    }
    return seen;
  };
  // Calls: 编号, 接听/拨出, 通话时长, 日期, 姓名, 电话号码. Messages: 编号,
  // 发送/接收, 日期, 电话号码, 短信内容.
  const auto calls = index("calls.csv", 3, 5);
  const auto deletedCalls = index("calls-deleted.csv", 3, 5);
  const auto messages = index("sms.csv", 2, 3);
  const auto deletedMessages = index("sms-deleted.csv", 2, 3);

  int live = 0, deleted = 0;
  for (const auto& imageRow : demo.image.truth.rows) {
    const auto& t = imageRow.row;
    if (t.table != FixtureTable::kCalls && t.table != FixtureTable::kSms) continue;
    const std::string key = *FormatRecordDate(std::to_string(t.dateMs)) + "|" + t.number;
    const bool isCall = t.table == FixtureTable::kCalls;
    if (IsLiveInImage(imageRow)) {
      const auto& list = isCall ? calls : messages;
      const auto found = list.find(key);
      ASSERT_NE(found, list.end()) << key;
      EXPECT_EQ(found->second.count, 1) << key;
      const auto& line = found->second.line;
      if (isCall) {
        EXPECT_EQ(line[1], CallWord(t.type));
        EXPECT_EQ(line[2], std::to_string(t.duration));
        if (!t.name.empty()) {
          EXPECT_EQ(line[4], t.name);
        }
      } else if (!t.body.empty()) {
        EXPECT_EQ(line[4], CsvBody(t.body));
      }
      ++live;
    } else if (ComesBackDeleted(imageRow, release)) {
      const auto& list = isCall ? deletedCalls : deletedMessages;
      EXPECT_TRUE(list.count(key)) << "deleted " << key;
      ++deleted;
    }
  }
  EXPECT_GT(live, 300);
  EXPECT_GT(deleted, 10);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace orv
