// The phone file page, the storage page's partition choice and the imaging
// page: refusals, a whole run from a folder to the scan path with the fake
// phone, and a window that answers while a copy runs.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "app/connect_view_gui.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "device/fake_phone.h"
#include "gui_test.h"
#include "imaging/imaging_plan.h"
#include "imaging/number_text.h"
#include "imaging/start_check.h"
#include "imaging/storage_choice.h"

namespace orv::testing {
namespace {

constexpr const char* kFolder = "/data/data/com.android.providers.contacts/databases";
constexpr const char* kFile = "/data/data/com.android.providers.contacts/databases/contacts2.db";

class ImagingPageTest : public GuiTest {
 protected:
  // One storage-list row of TForm2 (14 cells).
  void addStorageRow(const QStringList& cells) { new QTreeWidgetItem(forms().form2->lv1, cells); }
  QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& caption, int entry) {
    auto* item = parent ? new QTreeWidgetItem(parent, {caption})
                        : new QTreeWidgetItem(main().tv2, {caption});
    if (entry >= 0) item->setData(0, kEntryRole, entry);
    return item;
  }
  // A phone with /system and an external card whose free space is `cardFree`.
  struct Storage {
    QTreeWidgetItem* phone;
    QTreeWidgetItem* system;
    QTreeWidgetItem* card;
  };
  Storage fillStorage(const QString& cardFree, bool withCard = true) {
    addStorageRow({"1", "179", "12", "786432", "mmcblk0p12", "ext4", "", "/system",
                   "/dev/block/mmcblk0p12", "768.0M", "700M", "68M", "lj", "mmcblk0"});
    Storage storage{};
    storage.phone = addNode(nullptr, QStringLiteral("我的手机[GT-P1010]"), -1);
    storage.system = addNode(storage.phone, QStringLiteral("逻辑盘[mmcblk0p12] 编号:1"), 0);
    if (withCard) {
      addStorageRow({"2", "179", "97", "7774208", "mmcblk1p1", "vfat", "", "/mnt/sdcard",
                     "/dev/block/vold/179:97", "7.4G", "10M", cardFree, "lj-sdw", "mmcblk1"});
      storage.card = addNode(storage.phone, QStringLiteral("外部SD卡[mmcblk1p1] 编号:2"), 1);
    }
    return storage;
  }
  void checkRows(int count) {
    for (int row = 0; row < main().lv1->topLevelItemCount(); ++row) {
      main().lv1->topLevelItem(row)->setCheckState(0, row < count ? Qt::Checked : Qt::Unchecked);
    }
  }
  void addFileRow(const QString& name, const QString& size) {
    auto* item = new QTreeWidgetItem(main().lv1, {name, size, "2013-05-01 12:34", "", kFolder});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
  }
  QString onlyBoxText() {
    const QStringList texts = takeBoxTexts();
    return texts.size() == 1 ? texts.front() : texts.join(" | ");
  }
};

TEST_F(ImagingPageTest, PartitionChoiceRefusals) {
  createForms();
  Storage storage = fillStorage("1.2G");
  main().tv2->setCurrentItem(nullptr);
  main().btn2->click();
  EXPECT_EQ(onlyBoxText(), QString::fromUtf8(kNothingChosenMessage.data()));
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts4);

  const struct {
    QTreeWidgetItem* node;
    std::string_view message;
  } refusals[] = {{storage.phone, kPhoneChosenMessage}, {storage.card, kCardChosenMessage}};
  for (const auto& refusal : refusals) {
    main().showOnlyPage(main().ts1);
    main().tv2->setCurrentItem(refusal.node);
    main().btn2->click();
    EXPECT_EQ(onlyBoxText(), QString::fromUtf8(refusal.message.data()));
    EXPECT_EQ(main().pgc1->currentWidget(), main().ts1);
  }
}

TEST_F(ImagingPageTest, PartitionChoiceNeedsAReadableFreeSpaceAndEnoughOfIt) {
  createForms();
  for (const auto& [free, message] :
       {std::pair<QString, QString>{"12.5X", QString::fromUtf8(kFreeSpaceTextMessage.data())},
        {"512M", QString::fromStdString(CardTooSmallMessage(786432))}}) {
    main().tv2->clear();
    forms().form2->lv1->clear();
    const Storage storage = fillStorage(free);
    main().tv2->setCurrentItem(storage.system);
    main().btn2->click();
    EXPECT_EQ(onlyBoxText(), message);
    EXPECT_NE(main().pgc1->currentWidget(), main().ts3);
  }
}

TEST_F(ImagingPageTest, PartitionChoiceWithoutACard) {
  createForms();
  const Storage storage = fillStorage("1G", false);
  main().tv2->setCurrentItem(storage.system);
  main().btn2->click();
  EXPECT_EQ(onlyBoxText(), QString::fromUtf8(kNoCardMessage.data()));
}

TEST_F(ImagingPageTest, PartitionChoiceFillsTheImagingPageAfterTheWarning) {
  createForms();
  const Storage storage = fillStorage("1.2G");
  main().tv2->setCurrentItem(storage.system);
  answer = BoxAnswer::kYes;
  main().btn2->click();
  const std::vector<ShownBox> boxes = takeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "警告");
  EXPECT_EQ(boxes[0].text, QString::fromUtf8(kImageFileWarning.data()));
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts3);
  EXPECT_EQ(main().lbledt1->text(), "/dev/block/mmcblk0p12");
  EXPECT_EQ(main().lbledt2->text(), "/mnt/sdcard/mmcblk0p12.img");
  EXPECT_EQ(main().lbledt4->text(), "805306368");
  main().btn13->click();
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts1);
}

TEST_F(ImagingPageTest, FileChoiceRefusals) {
  createForms();
  main().showOnlyPage(main().ts2);
  addFileRow("contacts2.db", "98304");
  addFileRow("lib", "");
  main().btn7->click();
  EXPECT_EQ(onlyBoxText(), "矮油,好像您没有选中任何文件哟~~~");
  checkRows(2);
  main().btn7->click();
  EXPECT_EQ(onlyBoxText(), "每次仅能选中一个文件进行镜像，不可多选，请重新选择一个您要镜像的文件");
  main().lv1->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
  main().btn7->click();  // the link: no length
  EXPECT_EQ(onlyBoxText(), QString::fromUtf8(kNumberFormatMessage.data()));
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts2);
}

TEST_F(ImagingPageTest, ImagingPageRefusals) {
  createForms();
  main().showOnlyPage(main().ts3);
  main().btn14->click();  // no plan
  EXPECT_EQ(onlyBoxText(), QString::fromUtf8(kNumberFormatMessage.data()));
  main().btn11->click();
  EXPECT_EQ(onlyBoxText(), QString::fromUtf8(kNumberFormatMessage.data()));

  addFileRow("contacts2.db", "98304");
  checkRows(1);
  main().btn7->click();
  ASSERT_EQ(main().pgc1->currentWidget(), main().ts3);
  main().btn14->click();  // no PC folder
  const std::vector<ShownBox> boxes = takeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, QString::fromUtf8(kNoPcFolderMessage.data()));
  EXPECT_EQ(boxes[0].icon, BoxIcon::kQuestion);

  main().btn14->setEnabled(false);  // as while a run is under way
  main().btn11->click();
  EXPECT_EQ(onlyBoxText(), "亲，似乎还没有镜像完成哟，请在镜像完成后再点击[下一步]");
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts3);

  main().btn12->click();  // folder browser cancelled
  EXPECT_EQ(onlyBoxText(), "Windows目标盘路径为空,请设置好Windows目标盘路径!");
}

TEST_F(ImagingPageTest, FromFolderToScanPathWithTheFakePhone) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kFile, "-rw-rw----", 300000);
  phone.addRule(std::string("ls -l ") + kFolder,
                {{"text",
                  "-rw-rw---- u0_a1 u0_a1 300000 2013-05-01 12:34 contacts2.db\\n"
                  "drwxrwx--x u0_a1 u0_a1 2013-05-01 12:34 journal\\n"}});
  createForms();
  main().showOnlyPage(main().ts2);
  auto* node = new QTreeWidgetItem(main().tv1, {kFolder});
  main().tv1->setCurrentItem(node);
  main().tv1DblClick();
  waitForWorkers();
  ASSERT_EQ(main().lv1->topLevelItemCount(), 1);
  ASSERT_EQ(node->childCount(), 1);
  EXPECT_EQ(node->child(0)->text(0), QString(kFolder) + "/journal");

  checkRows(1);
  main().btn7->click();
  ASSERT_EQ(main().pgc1->currentWidget(), main().ts3);
  EXPECT_EQ(main().lbledt1->text(), kFile);
  EXPECT_EQ(main().lbledt4->text(), "300000");

  const QString folder = scratchFile(QStringLiteral("案例 1"));
  ASSERT_TRUE(QDir().mkpath(folder));
  dialogChoices.push_back(folder);
  main().btn12->click();
  EXPECT_EQ(main().lbledt3->text(), folder + "/");
  main().btn14->click();
  EXPECT_FALSE(main().btn14->isEnabled());
  waitForWorkers();
  EXPECT_TRUE(main().btn14->isEnabled());
  EXPECT_EQ(QFileInfo(folder + "/contacts2.db").size(), 300000);
  EXPECT_EQ(phone.chmodLog().size(), 2u);
  main().btn11->click();
  EXPECT_EQ(main().lbledt8->text(), folder + "/contacts2.db");
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts4);
  EXPECT_TRUE(takeBoxTexts().isEmpty());
}

TEST_F(ImagingPageTest, WindowAnswersWhileACopyRunsAndStopEndsIt) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kFile, "-rw-rw-r--", 20 * 1048576);
  phone.set("copy-rate", "2097152");  // ten seconds
  createForms();
  addFileRow("contacts2.db", QString::number(20 * 1048576));
  checkRows(1);
  main().btn7->click();
  const QString folder = scratchFile(QStringLiteral("copies"));
  ASSERT_TRUE(QDir().mkpath(folder));
  main().lbledt3->setText(folder);
  main().btn14->click();
  ASSERT_TRUE(WaitUntil([&] { return QFileInfo(folder + "/contacts2.db").size() > 0; }, 20000));

  // A zero-delay timer fires within 100 ms while the copy runs.
  qint64 slowest = 0;
  for (int sample = 0; sample < 10; ++sample) {
    QElapsedTimer clock;
    clock.start();
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    ASSERT_TRUE(WaitUntil([&] { return fired; }, 1000));
    slowest = std::max(slowest, clock.elapsed());
    QThread::msleep(50);
  }
  EXPECT_LT(slowest, 100);

  answer = BoxAnswer::kYes;
  main().btn15->click();
  waitForWorkers();
  EXPECT_TRUE(main().btn14->isEnabled());
  EXPECT_LT(QFileInfo(folder + "/contacts2.db").size(), 20 * 1048576);
  EXPECT_TRUE(QFileInfo::exists(folder + "/contacts2.db"));
}

}  // namespace
}  // namespace orv::testing

namespace orv::testing {
namespace {

TEST_F(GuiTest, WirelessLinkRunsOnAWorkerAndReportsInItsWindow) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addRule("netcfg", {{"text", "wlan0    UP    192.168.1.50/24  0x00001043\\n"}});
  createForms();
  TForm2& form2 = *forms().form2;
  form2.btn1->click();
  EXPECT_FALSE(form2.btn1->isEnabled());
  ASSERT_TRUE(WaitUntil([&] { return !form2.linkRunning(); }));
  QApplication::processEvents();
  EXPECT_TRUE(form2.btn1->isEnabled());
  EXPECT_EQ(form2.lbledt3->text(), "192.168.1.50/24");
  EXPECT_EQ(takeBoxTexts(), QStringList{"WIFI无线联接成功"});
}

}  // namespace
}  // namespace orv::testing
