// The disk chooser against recorded and scratch sysfs trees: its lines, its
// refusals, and the chosen disk travelling into the scan.

#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>

#include "app/log_model.h"
#include "app/tform1.h"
#include "app/tform4.h"
#include "app/tform5.h"
#include "fixtures/demo_image.h"
#include "fixtures/sysfs_fixture.h"
#include "gui_test.h"

namespace orv::testing {
namespace {

class DiskChooserTest : public GuiTest {
 protected:
  TForm4& chooser() { return *forms().form4; }
  QTreeWidgetItem* root() { return chooser().tv1->topLevelItem(0); }

  QStringList childLines() {
    QStringList lines;
    for (int i = 0; root() && i < root()->childCount(); ++i) lines << root()->child(i)->text(0);
    return lines;
  }

  void choose(QTreeWidgetItem* item) {
    chooser().tv1->clearSelection();
    if (item) item->setSelected(true);
    chooser().btn19->click();
  }

  bool logged(const QString& part) {
    for (const LogLine& line : static_cast<const LogModel*>(main().lv4->model())->lines())
      if (QString::fromStdString(line.description).contains(part)) return true;
    return false;
  }
};

TEST_F(DiskChooserTest, ListsTheCardsAndSticksUnderOneRoot) {
  createForms();
  main().diskPlaces = SysfsFixturePlaces();
  main().btn21->click();
  ASSERT_TRUE(chooser().isVisible());
  EXPECT_EQ(chooser().windowTitle(), "浏览USB物理盘符");
  EXPECT_EQ(chooser().findChild<QGroupBox*>()->title(),
            "选中要扫描的物理USB盘符,再点击下一步返回主界面");
  EXPECT_EQ(chooser().btn19->text(), "下一步");
  ASSERT_EQ(chooser().tv1->topLevelItemCount(), 1);
  EXPECT_EQ(root()->text(0), "物理USB存储设备");
  EXPECT_TRUE(root()->isExpanded());
  EXPECT_EQ(childLines(), (QStringList{
                              "USB  1:Mass Storage Device (7.40 GB，USB)",
                              "USB  3:MS/MS-Pro (59.48 GB，USB)",
                              "USB  5:DT 101 G2 (512.00 MB，USB)",
                              "USB  6:JumpDrive (32.00 MB，USB)",
                              "USB  8:Extreme SDXC (2048.00 GB，USB)",
                              "USB  9:Store n Go (999.00 MB，USB)",
                              "USB  10:Store n Go (0.98 GB，USB)",
                              "USB  200:SL32G (29.72 GB，SD)",
                          }));
  // A second press lists them afresh, not twice.
  main().btn21->click();
  EXPECT_EQ(chooser().tv1->topLevelItemCount(), 1);
  EXPECT_EQ(root()->childCount(), 8);
}

TEST_F(DiskChooserTest, RefusesTheRootAndNothingAndTakesADisk) {
  createForms();
  main().diskPlaces = SysfsFixturePlaces();
  main().lbledt8->setText("/old.img");
  main().btn21->click();
  choose(nullptr);
  EXPECT_EQ(takeBoxTexts(), QStringList{"矮油,好像您没有选中任何物理盘哟~~~"});
  EXPECT_TRUE(chooser().isVisible());
  EXPECT_EQ(main().lbledt8->text(), "");
  choose(root());
  EXPECT_EQ(takeBoxTexts(), QStringList{"您选中的是[我的手机],请选择其它选项！"});
  EXPECT_TRUE(chooser().isVisible());

  choose(root()->child(1));
  EXPECT_TRUE(takeBoxes().empty());
  EXPECT_FALSE(chooser().isVisible());
  EXPECT_EQ(main().lbledt8->text(), "USB  3:MS/MS-Pro (59.48 GB，USB)");
  const ScanSource& source = main().scanSource();
  EXPECT_EQ(source.kind, ScanSource::Kind::kDisk);
  EXPECT_EQ(source.path, "/dev/sdd");
  EXPECT_EQ(source.diskNumber, 3u);
  ASSERT_TRUE(source.listed);
  EXPECT_EQ(source.listed->sizeBytes, 124735488ull * 512);
  EXPECT_EQ(source.listed->model, "MS/MS-Pro");
  EXPECT_EQ(source.listed->serial, "CR0001");
}

TEST_F(DiskChooserTest, NoDisksLeaveAnEmptyTree) {
  createForms();
  main().diskPlaces = {scratchFile("no-sys-block").toStdString(), "/dev"};
  main().btn21->click();
  EXPECT_EQ(chooser().tv1->topLevelItemCount(), 0);
  choose(nullptr);
  EXPECT_EQ(takeBoxTexts(), QStringList{"矮油,好像您没有选中任何物理盘哟~~~"});
}

TEST_F(DiskChooserTest, TheChosenDiskIsWhatTheScanReads) {
  createForms();
  // A card in a USB reader whose device node is the demo image.
  std::vector<std::uint8_t> image = fixtures::BuildDemoImage({}).image.bytes;
  image.resize((image.size() + 511) / 512 * 512, 0);
  const ScratchSysfs sysfs(scratchFile("sys").toStdString());
  sysfs.addUsbDisk("sdb", image.size() / 512, "Card Reader", "CR7");
  ASSERT_EQ(fixtures::WriteFileBytes(sysfs.node("sdb").string(), image), "");
  main().diskPlaces = sysfs.places();
  main().btn21->click();
  ASSERT_EQ(childLines().size(), 1);
  choose(root()->child(0));
  ASSERT_TRUE(main().lbledt8->text().startsWith("USB  1:Card Reader ("));

  main().btn17->click();
  waitForWorkers();
  EXPECT_TRUE(takeBoxes().empty());
  EXPECT_TRUE(logged(QString("所选文件（物理盘）长度为:%1扇区").arg(image.size() / 512)));
  EXPECT_GT(forms().form5->tables().rowCount(ResultTable::kFuck3), 0u);

  // Re-plugged: another card now has the number; the scan refuses it.
  sysfs.setModel("sdb", "Other Card");
  main().btn17->click();
  waitForWorkers();
  EXPECT_EQ(takeBoxTexts(), QStringList{"打开文件句柄出错，程序将退出请和客服人员联系！"});
  EXPECT_TRUE(logged("已不是选中的那块盘"));
}

TEST_F(DiskChooserTest, AScanPathSetAsTextIsReadAsItsText) {
  createForms();
  const ScratchSysfs sysfs(scratchFile("sys").toStdString());
  sysfs.addUsbDisk("sdb", 2048, "Card Reader", "CR7");
  main().diskPlaces = sysfs.places();
  main().btn21->click();
  choose(root()->child(0));
  // The imaging page writes the path of its image straight into lbledt8.
  const QString image = writeDemoImage();
  main().lbledt8->setText(image);
  main().btn17->click();
  waitForWorkers();
  EXPECT_TRUE(takeBoxes().empty());
  EXPECT_GT(forms().form5->tables().rowCount(ResultTable::kFuck3), 0u);
}

}  // namespace
}  // namespace orv::testing
