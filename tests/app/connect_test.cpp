// Connecting to a phone through btn1, with the fake phone on PATH.

#include <QElapsedTimer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>

#include "app/connect_view_gui.h"
#include "app/log_model.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "device/fake_phone.h"
#include "gui_test.h"

namespace orv::testing {
namespace {

class ConnectTest : public GuiTest {
 protected:
  // The Android 11 tablet with its identity, answering each survey command
  // after `delayMs`.
  void preparePhone(FakePhone& phone, int delayMs) {
    phone.set("pty", "no");
    phone.writeProfileFile("identity.prop",
                           "ro.product.model=SM-X200\nro.build.display.id=RP1A.200720.012\n");
    phone.writeProfileFile("cpuinfo", "Hardware\t: Unisoc T618\n");
    phone.writeProfileFile("meminfo", "MemTotal:        2525568 kB\n");
    const std::pair<const char*, const char*> answers[] = {
        {"cat system/build.prop", "identity.prop"},
        {"cat proc/cpuinfo", "cpuinfo"},
        {"cat proc/meminfo", "meminfo"},
        {"cat proc/partitions", "proc-partitions.txt"},
        {"df", "df.txt"},
        {"mount", "proc-mounts.txt"}};
    for (const auto& [command, file] : answers)
      phone.addRule(command, {{"out", file}, {"delay-ms", std::to_string(delayMs)}});
  }

  QStringList infoCaptions() {
    QStringList captions;
    for (int i = 0; i < main().lv3->topLevelItemCount(); ++i)
      captions << main().lv3->topLevelItem(i)->text(0);
    return captions;
  }
};

TEST_F(ConnectTest, SurveyFillsThePhonePanelTreeAndStorageList) {
  FakePhone phone("android-11-samsung-sm-x200");
  preparePhone(phone, 0);
  createForms();
  ASSERT_TRUE(main().btn1->isEnabled());
  main().btn1->click();
  main().btn1->click();  // a second press while it runs does nothing
  waitForWorkers();

  EXPECT_EQ(main().lv2->item(0)->text(), QStringLiteral("连接正常"));
  EXPECT_EQ(main().lv2->item(0)->data(kImageRole).toInt(), 2);
  EXPECT_EQ(infoCaptions(),
            (QStringList{"Root权限:已获取", "我的手机[SM-X200]", "RP1A.200720.012",
                         "CPU型号: Unisoc T618", "内存大小:2525568 kB", "逻辑盘符数量:128"}));
  EXPECT_EQ(main().lv3->topLevelItem(0)->data(0, kCaptionRole).toString(),
            QStringLiteral("\r\nRoot权限:已获取"));
  EXPECT_EQ(main().lv3->topLevelItem(1)->data(0, kImageRole).toInt(), 3);

  QTreeWidget* tree = main().tv2;
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* root = tree->topLevelItem(0);
  EXPECT_EQ(root->text(0), QStringLiteral("我的手机[SM-X200]"));
  ASSERT_EQ(root->childCount(), 2);
  EXPECT_EQ(root->child(0)->text(0),
            QStringLiteral("逻辑盘     [mmcblk0p49] 文件系统:ext4 容量:204MB 挂载点:/cache "
                           "空闲空间:197400 编号:1"));
  EXPECT_EQ(root->child(1)->data(0, kEntryRole).toInt(), 1);
  EXPECT_EQ(root->child(1)->data(0, kImageRole).toInt(), 2);
  EXPECT_TRUE(root->isExpanded());

  TForm2& form2 = *forms().form2;
  ASSERT_EQ(form2.lv1->topLevelItemCount(), 2);
  EXPECT_EQ(form2.lv1->columnCount(), 14);
  EXPECT_EQ(form2.lv1->topLevelItem(1)->text(4), QStringLiteral("dm-43"));
  EXPECT_EQ(form2.lv1->topLevelItem(1)->text(12), QStringLiteral("lj"));
  EXPECT_TRUE(form2.mmo1->toPlainText().contains(QStringLiteral("/dev/block/dm-43 /data f2fs")));

  EXPECT_TRUE(main().btn1->isEnabled());
  EXPECT_TRUE(main().btn8->isEnabled());
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts1);
  EXPECT_TRUE(takeBoxes().empty());
  // One survey ran: the connection check is logged once.
  const QAbstractItemModel* log = main().lv4->model();
  int checks = 0;
  for (int row = 0; row < log->rowCount(); ++row)
    checks += log->index(row, 1).data().toString() == QStringLiteral("检查连接");
  EXPECT_EQ(checks, 1);
}

TEST_F(ConnectTest, WindowStaysResponsiveWhileThePhoneIsSlow) {
  FakePhone phone("android-11-samsung-sm-x200");
  preparePhone(phone, 2000);
  createForms();
  main().btn1->click();
  ASSERT_TRUE(WaitUntil([&] { return !main().btn1->isEnabled(); }, 5000));
  QElapsedTimer sinceLastTurn;
  sinceLastTurn.start();
  qint64 longestTurn = 0;
  int rowsSeenWhileRunning = 0;
  ASSERT_TRUE(WaitUntil(
      [&] {
        longestTurn = std::max(longestTurn, sinceLastTurn.restart());
        main().repaint();
        if (!main().btn8->isEnabled()) rowsSeenWhileRunning = main().lv4->model()->rowCount();
        return main().btn8->isEnabled();
      },
      60000));
  // The window kept handling events and painting: no turn of its loop waited
  // for a phone answer (each takes 2 s); a loaded machine may still be slow.
  EXPECT_LT(longestTurn, 1500);
  EXPECT_GE(rowsSeenWhileRunning, 5);
  EXPECT_EQ(main().tv2->topLevelItemCount(), 1);
  waitForWorkers();
}

TEST_F(ConnectTest, NoPhoneGivesTheUsbMessageAndTheButtonBack) {
  FakePhone phone("no-phone-linux");
  createForms();
  main().btn1->click();
  waitForWorkers();
  const std::vector<ShownBox> boxes = takeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, QStringLiteral("手机连接失败,请检查USB连接线并再次点击按钮!"));
  EXPECT_EQ(boxes[0].caption, QStringLiteral("提示"));
  EXPECT_EQ(main().lv2->item(0)->text(), QStringLiteral("连接异常"));
  EXPECT_TRUE(main().btn1->isEnabled());
  EXPECT_FALSE(main().btn8->isEnabled());
  EXPECT_EQ(main().tv2->topLevelItemCount(), 0);
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts4);
}

}  // namespace
}  // namespace orv::testing
