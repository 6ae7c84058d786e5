#include "cli/scan_outputs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "results/text_file.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A character GB18030 cannot hold reaches the files as "?", and the count
// reaches the caller and the end of activity.log.
TEST(ScanOutputsTest, CharactersGb18030CannotHoldAreCountedAndLogged) {
  const fs::path dir =
      fs::temp_directory_path() / ("orv-outputs-" + std::to_string(std::random_device()()));
  fs::create_directories(dir);
  ResultTables tables;
  std::vector<std::string> cells(fuck3::kDbResultNum - 1, "1");
  cells[fuck3::kBody - 1] = "好\xEE\x9E\x8D";  // U+E78D has no GB18030 form here
  tables.append(ResultTable::kFuck3, cells);
  const std::vector<LogLine> log = {MakeLogLine("提示", "扫描完毕")};

  const ScanOutputsResult result =
      WriteScanOutputs(tables, log, dir.string(), FileEncoding::kGb18030);
  EXPECT_TRUE(result.failed.empty());
  EXPECT_GE(result.unconverted, 1u);
  EXPECT_NE(Read(dir / "raw-sms.txt").find("\xBA\xC3?"), std::string::npos);  // 好?
  const auto activity = Gb18030ToUtf8(Read(dir / "activity.log"));
  ASSERT_TRUE(activity);
  EXPECT_TRUE(
      activity->ends_with("^提示^" + UnconvertedCharactersText(result.unconverted) + "\r\n"))
      << *activity;

  const ScanOutputsResult utf8 =
      WriteScanOutputs(tables, log, dir.string(), FileEncoding::kUtf8WithBom);
  EXPECT_EQ(utf8.unconverted, 0u);
  EXPECT_EQ(Read(dir / "activity.log").find("GB18030"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace orv
