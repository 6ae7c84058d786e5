// Scanning a disk: a file standing in for the disk behind the disk interface,
// a loop device where the machine allows it, and the checks made before a
// byte of the disk is read.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "fixtures/demo_image.h"
#include "fixtures/loop_device.h"
#include "fixtures/sysfs_fixture.h"
#include "platform/stop_flag.h"
#include "scan/recording_scan_view.h"
#include "scan/scan_texts.h"
#include "scan/tscan.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kSectorBytes = 512;

struct Scanned {
  ScanOutcome outcome{};
  ResultTables tables;
  RecordingScanView view;
};

class DiskScanTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    image_ = new std::vector<std::uint8_t>(fixtures::BuildDemoImage({.seed = 3}).image.bytes);
    image_->resize((image_->size() + kSectorBytes - 1) / kSectorBytes * kSectorBytes, 0);
  }
  static void TearDownTestSuite() { delete image_; }

  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orv-disk-scan-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    sysfs_ = std::make_unique<testing::ScratchSysfs>(root_);
    // The card, and its image file standing in for its device node.
    sysfs_->addUsbDisk("sdc", sectors(), "Card Reader", "CR42");
    ASSERT_EQ(fixtures::WriteFileBytes(sysfs_->node("sdc").string(), *image_), "");
    ClearStop();
  }
  void TearDown() override {
    ClearStop();
    fs::remove_all(root_);
  }

  static std::uint64_t sectors() { return image_->size() / kSectorBytes; }

  DiskInfo listedCard() const {
    for (const DiskInfo& disk : ListChoosableDisks(sysfs_->places()))
      if (disk.kernelName == "sdc") return disk;
    ADD_FAILURE() << "the card is not listed";
    return {};
  }

  std::unique_ptr<Scanned> scan(const ScanSource& source) const {
    auto scanned = std::make_unique<Scanned>();
    ScanSettings settings;
    settings.source = source;
    settings.diskPlaces = sysfs_->places();
    scanned->outcome = Tscan(settings, scanned->tables, scanned->view).run();
    return scanned;
  }

  // The rows a scan of the image as a file finds.
  const ResultTables& fileScan() {
    if (!fileScan_) {
      const fs::path file = root_ / "card.img";
      EXPECT_EQ(fixtures::WriteFileBytes(file.string(), *image_), "");
      fileScan_ = scan(ScanSource::File(file.string()));
      EXPECT_EQ(fileScan_->outcome, ScanOutcome::kCompleted);
    }
    return fileScan_->tables;
  }

  void expectSameRows(const ResultTables& tables) {
    for (ResultTable table :
         {ResultTable::kDbResult, ResultTable::kFuck1, ResultTable::kFuck2, ResultTable::kFuck3})
      EXPECT_EQ(tables.rows(table), fileScan().rows(table)) << static_cast<int>(table);
  }

  static std::vector<std::uint8_t>* image_;
  fs::path root_;
  std::unique_ptr<testing::ScratchSysfs> sysfs_;
  std::unique_ptr<Scanned> fileScan_;
};

std::vector<std::uint8_t>* DiskScanTest::image_ = nullptr;

TEST_F(DiskScanTest, AChosenDiskIsScannedLikeItsImage) {
  const auto scanned = scan(ScanSource::ChosenDisk(listedCard()));
  ASSERT_EQ(scanned->outcome, ScanOutcome::kCompleted);
  EXPECT_TRUE(scanned->view.messages.empty());
  EXPECT_TRUE(scanned->view.logged(
      "文件长度|所选文件（物理盘）长度为:" + std::to_string(sectors()) + "扇区"));
  EXPECT_GT(scanned->tables.rowCount(ResultTable::kFuck3), 0u);
  expectSameRows(scanned->tables);
}

TEST_F(DiskScanTest, ATypedDiskLineIsScannedWhenItNamesTheDiskThatIsThere) {
  const std::string line = UsbDiskLine(listedCard());
  for (const std::string& text : {line, std::string("USB  2:")}) {
    const auto scanned = scan(ScanSource(text));
    EXPECT_EQ(scanned->outcome, ScanOutcome::kCompleted) << text;
    expectSameRows(scanned->tables);
  }
}

TEST_F(DiskScanTest, AFilePathWithUsbInItIsScannedAsAFile) {
  for (const fs::path& folder : {root_ / "media" / "user" / "USB DISK", root_ / "USB  2:"}) {
    fs::create_directories(folder);
    const fs::path file = folder / "phone.img";
    ASSERT_EQ(fixtures::WriteFileBytes(file.string(), *image_), "");
    const auto scanned = scan(ScanSource(file.string()));
    ASSERT_EQ(scanned->outcome, ScanOutcome::kCompleted) << file;
    expectSameRows(scanned->tables);
  }
}

TEST_F(DiskScanTest, ADiskIsRefusedBeforeAByteIsRead) {
  const ScanSource chosen = ScanSource::ChosenDisk(listedCard());
  const struct {
    const char* what;
    std::function<void(const testing::ScratchSysfs&)> change;
    ScanSource source;
    ScanOutcome outcome;
    const char* logged;  // a part of the log line that says why
  } cases[] = {
      {"unplugged since it was listed", [](auto& s) { s.remove("sdc"); }, chosen,
       ScanOutcome::kSizeUnknown, "没有这个编号的USB盘或读卡器"},
      {"device node gone", [](auto& s) { fs::remove(s.node("sdc")); }, chosen,
       ScanOutcome::kSizeUnknown, "不存在"},
      {"another model at the number", [](auto& s) { s.setModel("sdc", "Other Card"); }, chosen,
       ScanOutcome::kOpenFailed, "已不是选中的那块盘"},
      {"another serial at the number", [](auto& s) { s.setSerial("sdc", "CR43"); }, chosen,
       ScanOutcome::kOpenFailed, "已不是选中的那块盘"},
      {"another size at the number", [](auto& s) { s.setSectors("sdc", sectors() + 1); }, chosen,
       ScanOutcome::kOpenFailed, "已不是选中的那块盘"},
      {"the device is not the size listed", [](auto& s) { s.setSectors("sdc", sectors() + 1); },
       ScanSource("USB  2:"), ScanOutcome::kOpenFailed, "容量"},
      {"a typed line of another disk", [](auto&) {},
       ScanSource("USB  2:Card Reader (1.00 GB，USB)"), ScanOutcome::kOpenFailed,
       "已不是选中的那块盘"},
      {"a number nobody has", [](auto&) {}, ScanSource("USB  255:"), ScanOutcome::kSizeUnknown,
       "没有这个编号"},
      {"a number above 255", [](auto&) {}, ScanSource("USB  256:"), ScanOutcome::kSizeUnknown,
       "超出"},
      {"USB  999:x", [](auto&) {}, ScanSource("USB  999:x"), ScanOutcome::kSizeUnknown, "超出"},
  };
  for (const auto& c : cases) {
    TearDown();  // a fresh card for every case
    SetUp();
    c.change(*sysfs_);
    const auto scanned = scan(c.source);
    EXPECT_EQ(scanned->outcome, c.outcome) << c.what;
    ASSERT_EQ(scanned->view.messages.size(), 1u) << c.what;
    EXPECT_EQ(scanned->view.messages[0], c.outcome == ScanOutcome::kSizeUnknown
                                             ? scan_text::kSizeUnknown
                                             : scan_text::kOpenFailed)
        << c.what;
    ASSERT_FALSE(scanned->view.log.empty()) << c.what;
    EXPECT_TRUE(scanned->view.log[0].starts_with("错误|")) << c.what;
    EXPECT_NE(scanned->view.log[0].find(c.logged), std::string::npos)
        << c.what << ": " << scanned->view.log[0];
    EXPECT_TRUE(scanned->view.buttonsEnabled) << c.what;
  }
}

TEST_F(DiskScanTest, ADiskThisUserMayNotReadSaysWhatToDo) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every disk";
  fs::permissions(sysfs_->node("sdc"), fs::perms::none);
  const auto scanned = scan(ScanSource::ChosenDisk(listedCard()));
  EXPECT_EQ(scanned->outcome, ScanOutcome::kOpenFailed);
  EXPECT_EQ(scanned->view.messages, std::vector<std::string>{scan_text::kOpenFailed});
  ASSERT_FALSE(scanned->view.log.empty());
  EXPECT_NE(scanned->view.log[0].find("sudo orv-scan"), std::string::npos);
}

TEST_F(DiskScanTest, ALoopDeviceIsScannedThroughItsNode) {
  const fs::path file = root_ / "loop.img";
  ASSERT_EQ(fixtures::WriteFileBytes(file.string(), *image_), "");
  const testing::LoopDevice loop(file.string());
  if (loop.node().empty())
    GTEST_SKIP() << "no loop device here (needs root, losetup and loop support)";
  const auto scanned = scan(ScanSource::DiskNode(loop.node()));
  ASSERT_EQ(scanned->outcome, ScanOutcome::kCompleted);
  expectSameRows(scanned->tables);
}

}  // namespace
}  // namespace orv
