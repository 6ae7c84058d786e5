#include "scan/tscan.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/stop_flag.h"
#include "scan/recording_scan_view.h"
#include "scan/scan_source.h"
#include "scan/scan_texts.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

class TscanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orv-tscan-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    ClearStop();
  }
  void TearDown() override {
    ClearStop();
    fs::remove_all(dir_);
  }

  std::string WriteImage(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  ScanOutcome Scan(const std::string& path) {
    return Tscan({path, ScanKind::kContactsCallsSms, LayoutMode::kSpec}, tables_, view_).run();
  }

  fs::path dir_;
  ResultTables tables_;
  RecordingScanView view_;
};

TEST_F(TscanTest, StartUpFailuresShowTheirMessages) {
  EXPECT_EQ(Scan((dir_ / "missing.img").string()), ScanOutcome::kSizeUnknown);
  EXPECT_EQ(Scan(dir_.string()), ScanOutcome::kOpenFailed);  // a directory
  EXPECT_EQ(Scan("USB  7: Kingston DataTraveler 16GB USB"), ScanOutcome::kSizeUnknown);
  EXPECT_EQ(Scan(WriteImage("short.img", std::vector<std::uint8_t>(65535, 0x0D))),
            ScanOutcome::kTooShort);
  EXPECT_EQ(view_.messages,
            (std::vector<std::string>{scan_text::kSizeUnknown, scan_text::kOpenFailed,
                                      scan_text::kSizeUnknown, scan_text::kTooShort}));
  EXPECT_TRUE(view_.buttonsEnabled);
  EXPECT_EQ(view_.status[0], "就绪");
}

TEST_F(TscanTest, AnUnreadableFileFailsToOpen) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string path = WriteImage("locked.img", std::vector<std::uint8_t>(70000, 0));
  fs::permissions(path, fs::perms::none);
  EXPECT_EQ(Scan(path), ScanOutcome::kOpenFailed);
}

TEST_F(TscanTest, ExactlyOneBlockIsScannedToTheEnd) {
  EXPECT_EQ(Scan(WriteImage("one-block.img", std::vector<std::uint8_t>(65536, 0))),
            ScanOutcome::kCompleted);
  ASSERT_FALSE(view_.gaugeRanges.empty());
  EXPECT_EQ(view_.gaugeRanges.front(), 0);
  EXPECT_TRUE(view_.logged("文件长度|所选文件（物理盘）长度为:128扇区"));
  // Nothing was classified: the column statistics are zero, the deleted-page
  // pass is skipped, the completion lines are still written.
  EXPECT_TRUE(view_.logged("提示|统计字段信息及长度完毕"));
  EXPECT_FALSE(view_.logged("提示|开始扫描删除页"));
  EXPECT_TRUE(view_.logged("提示|扫描完毕"));
  EXPECT_TRUE(view_.logged("操作|排序完毕"));
}

TEST_F(TscanTest, AStopBeforeTheFirstBlockEndsTheScan) {
  const std::string path = WriteImage("stop.img", std::vector<std::uint8_t>(200000, 0));
  RequestStop();
  EXPECT_EQ(Scan(path), ScanOutcome::kStopped);
  EXPECT_TRUE(view_.logged("提示|扫描终止"));
  EXPECT_TRUE(view_.buttonsEnabled);
  EXPECT_FALSE(view_.logged("提示|扫描完毕"));
}

TEST(ScanPathTest, OnlyTheUsbDiskLineNamesADisk) {
  EXPECT_EQ(ParseUsbDiskLine("USB  3: SanDisk Ultra 32GB USB"), 3u);
  EXPECT_EQ(ParseUsbDiskLine("USB  12:"), 12u);
  EXPECT_FALSE(ParseUsbDiskLine("/media/USB-stick/phone.img"));
  EXPECT_FALSE(ParseUsbDiskLine("USB 3: one blank"));
  EXPECT_FALSE(ParseUsbDiskLine("USB  x: no number"));
  EXPECT_FALSE(ParseUsbDiskLine("USB  3 no colon"));
}

}  // namespace
}  // namespace orv
