// The handlers' answers to bad input, the help buttons and the small windows.

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>

#include "app/gauge.h"
#include "app/preview_model.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "app/tform4.h"
#include "app/tform5.h"
#include "app/tform6.h"
#include "gui_test.h"
#include "platform/stop_flag.h"

namespace orv::testing {
namespace {

class HandlersTest : public GuiTest {};

TEST_F(HandlersTest, RefusalsShowTheirMessageAndChangeNothing) {
  createForms();
  const struct {
    const char* what;
    std::function<void(TForm1&)> act;
    QString message;
  } cases[] = {
      {"scan without a path", [](TForm1& f) { f.btn17->click(); }, "扫描路径不能为空，请重新设置!"},
      {"results before a scan", [](TForm1& f) { f.btn19->click(); },
       "Sorry,虽然程序已经很给力的扫描，但是没有发现任何数据！"},
      {"preview with no kind", [](TForm1& f) { f.btn24->click(); },
       "天哪，您好像什么都没有选就来点我了，请选中[预览通讯录]、[预览通话记录]、[预览短信]"
       "中的至少一项."},
      {"preview of an empty table",
       [](TForm1& f) {
         f.rb2->setChecked(true);
         f.btn24->click();
       },
       "杯具了,没有发现相关内容!"},
      {"saving an empty preview", [](TForm1& f) { f.N2Click(); }, "预览结果为空无法保存!"},
      {"saving an empty deleted preview", [](TForm1& f) { f.MenuItem1Click(); },
       "预览结果为空无法保存!"},
  };
  for (const auto& c : cases) {
    c.act(main());
    const std::vector<ShownBox> boxes = takeBoxes();
    ASSERT_EQ(boxes.size(), 1u) << c.what;
    EXPECT_EQ(boxes[0].text, c.message) << c.what;
    EXPECT_EQ(boxes[0].caption, "提示") << c.what;
    EXPECT_EQ(boxes[0].icon, BoxIcon::kInformation) << c.what;
    EXPECT_FALSE(main().workersRunning()) << c.what;
    EXPECT_EQ(main().pgc1->currentWidget(), main().ts4) << c.what;
  }
  EXPECT_TRUE(dialogPresets.empty());  // refused before a file name was asked for
}

TEST_F(HandlersTest, EmptiedSaveDialogsAreRefused) {
  createForms();
  main().previewModel(PreviewList::kNormal).setColumns({{"编号", 50}});
  main().previewModel(PreviewList::kNormal).appendRows({{"1"}});
  dialogChoices = {QString(), QString()};
  main().N1Click();
  main().N2Click();
  EXPECT_EQ(takeBoxTexts(),
            (QStringList{"保存路径不能为空，请重新设置!", "保存路径不能为空，请重新设置!"}));
  dialogChoices = {QString()};
  forms().form5->N1Click();
  const std::vector<ShownBox> boxes = takeBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "路径为空");
}

TEST_F(HandlersTest, AShortImageIsReportedByTheScanAndTheButtonsComeBack) {
  createForms();
  const QString small = scratchFile("small.img");
  QFile file(small);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(65535, '\0'));
  file.close();
  scanThroughButtons(small);
  // The message box held the scan's thread until it was answered.
  EXPECT_TRUE(takeBoxTexts().contains("所要扫描的存储或者文件长度小于65536字节,程序将退出!"));
  EXPECT_TRUE(main().btn17->isEnabled());
  EXPECT_TRUE(main().btn19->isEnabled());
  EXPECT_TRUE(main().btn20->isEnabled());
}

TEST_F(HandlersTest, CancelledOpenDialogKeepsThePreviousPath) {
  createForms();
  dialogChoices = {"/first.img"};
  main().btn16->click();
  main().btn16->click();  // cancelled
  EXPECT_EQ(main().lbledt8->text(), "/first.img");
  EXPECT_EQ(dialogPresets.back(), "/first.img");
}

TEST_F(HandlersTest, StopWhileNoScanRunsAsksNothingAndKeepsTheResults) {
  createForms();
  EXPECT_FALSE(main().btn18->isEnabled());
  ResultTables& tables = forms().form5->tables();
  tables.append(ResultTable::kFuck2, {"1"});
  main().btn18Click();  // as if the disabled button were pressed
  EXPECT_TRUE(takeBoxes().empty());
  EXPECT_FALSE(StopRequested());
  EXPECT_EQ(tables.rowCount(ResultTable::kFuck2), 1u);
}

// A scan is started and the stop question answered before the scan's worker
// gets past its first call into the window, so the scan is surely running.
TEST_F(HandlersTest, StopAsksFirstThenClearsTheTablesOnceTheScanHasEnded) {
  createForms();
  dialogChoices = {writeDemoImage()};
  main().btn16->click();
  main().btn17->click();
  EXPECT_TRUE(main().btn18->isEnabled());
  ResultTables& tables = forms().form5->tables();
  tables.append(ResultTable::kFuck2, {"1"});  // a row the worker might still add
  tables.append(ResultTable::kPhotoResult, {"1"});
  answer = BoxAnswer::kNo;
  main().btn18->click();
  EXPECT_EQ(takeBoxTexts(), QStringList{"停止扫描后将不能恢复完整的内容，是否真的要停止？"});
  EXPECT_FALSE(StopRequested());

  answer = BoxAnswer::kYes;
  main().btn18->click();
  takeBoxes();
  EXPECT_TRUE(StopRequested());
  EXPECT_EQ(main().stat1->panelText(0), "就绪");
  waitForWorkers();
  for (ResultTable table :
       {ResultTable::kDbResult, ResultTable::kFuck1, ResultTable::kFuck2, ResultTable::kFuck3}) {
    EXPECT_EQ(tables.rowCount(table), 0u) << static_cast<int>(table);
  }
  EXPECT_EQ(tables.rowCount(ResultTable::kPhotoResult), 1u);  // not one of the cleared four
  EXPECT_FALSE(main().btn18->isEnabled());
  EXPECT_TRUE(main().btn17->isEnabled());
  EXPECT_EQ(main().g1->value(), main().g1->minimum());  // stopped: an empty bar
  EXPECT_EQ(main().stat1->progressText(), "");
  ClearStop();
}

TEST_F(HandlersTest, StopAnsweredAfterTheScanEndedChangesNothing) {
  createForms();
  dialogChoices = {writeDemoImage()};
  main().btn16->click();
  main().btn17->click();
  // The question stays open until the scan has ended, as when a short scan
  // ends while the user reads it.
  CurrentDesktop().messageBox = [this](const MessageBoxRequest&) {
    EXPECT_TRUE(WaitUntil([this] { return !main().workersRunning(); }));
    return BoxAnswer::kYes;
  };
  main().btn18->click();
  EXPECT_FALSE(StopRequested());
  EXPECT_GT(forms().form5->tables().rowCount(ResultTable::kFuck2), 0u);
  EXPECT_FALSE(main().btn18->isEnabled());
  main().btn19->click();
  EXPECT_EQ(main().pgc1->currentWidget(), main().ts5);
}

// Each scan that ends leaves a full bar, also when its range had no length
// (a source of 64 to 128 KiB is one block).
TEST_F(HandlersTest, ScanEndsWithAFullBarWhateverItsLength) {
  createForms();
  for (const int bytes : {65536, 65536 + 512, 131071}) {
    const QString image = scratchFile(QStringLiteral("zeros-%1.img").arg(bytes));
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(bytes, '\0'));
    file.close();
    scanThroughButtons(image);
    EXPECT_LT(main().g1->minimum(), main().g1->maximum()) << bytes;
    EXPECT_EQ(main().g1->value(), main().g1->maximum()) << bytes;
    EXPECT_EQ(main().stat1->progressText(), "") << bytes;
  }
}

TEST_F(HandlersTest, HelpButtonsOpenTheirTargets) {
  createForms();
  main().btn5->click();
  ASSERT_EQ(openedUrls.size(), 1u);
  EXPECT_EQ(openedUrls[0].host(), "orv.example.com");

  main().btn6->click();  // no help document in the program folder
  EXPECT_EQ(takeBoxTexts(), QStringList{"帮助文件损坏了，请联系客服人员获取!"});
  writeProgramFile("HelpRecovery.html", "<html></html>");
  main().btn6->click();
  EXPECT_TRUE(takeBoxes().empty());
  ASSERT_EQ(openedUrls.size(), 2u);
  EXPECT_EQ(openedUrls[1], QUrl::fromLocalFile(programFile("HelpRecovery.html")));
  // No program to open them: the user is told where to find them.
  openUrlResult = false;
  main().btn6->click();
  const QStringList help = takeBoxTexts();
  ASSERT_EQ(help.size(), 1);
  EXPECT_TRUE(help[0].contains(QDir::toNativeSeparators(programFile("HelpRecovery.html"))));
  EXPECT_FALSE(help[0].contains("损坏"));
  main().btn5->click();
  const QStringList home = takeBoxTexts();
  ASSERT_EQ(home.size(), 1);
  EXPECT_TRUE(home[0].contains("https://orv.example.com/"));
}

TEST_F(HandlersTest, AboutAndFeedbackShowOnePageEach) {
  createForms();
  TForm6& about = *forms().form6;
  main().btn3->click();
  EXPECT_TRUE(about.isVisible());
  EXPECT_TRUE(about.pgc1->isTabVisible(0));
  EXPECT_FALSE(about.pgc1->isTabVisible(1));
  EXPECT_EQ(about.pgc1->tabText(0), "关于我们");
  main().btn10->click();
  EXPECT_FALSE(about.pgc1->isTabVisible(0));
  EXPECT_TRUE(about.pgc1->isTabVisible(1));
  EXPECT_EQ(about.pgc1->tabText(1), "反馈问题");
  // The three pictures were decoded.
  for (QLabel* picture : {about.img1, about.img2, about.img3}) {
    EXPECT_FALSE(picture->pixmap().isNull()) << picture->objectName().toStdString();
  }
  EXPECT_EQ(about.btn2->text(), "返回主界面");
  about.btn2->click();
  EXPECT_FALSE(about.isVisible());
}

TEST_F(HandlersTest, DiskChooserPutsTheChosenDiskIntoTheScanPath) {
  createForms();
  TForm4& chooser = *forms().form4;
  main().diskPlaces = {scratchFile("no-sys-block").toStdString(), "/dev"};  // no disks
  main().lbledt8->setText("/old.img");
  main().btn21->click();
  EXPECT_TRUE(chooser.isVisible());
  chooser.btn19->click();  // nothing selected
  EXPECT_EQ(takeBoxTexts(), QStringList{"矮油,好像您没有选中任何物理盘哟~~~"});
  EXPECT_EQ(main().lbledt8->text(), "");

  auto* root = new QTreeWidgetItem(chooser.tv1, QStringList{"物理USB存储设备"});
  auto* disk = new QTreeWidgetItem(root, QStringList{"USB  2:Kingston 7.5 GB USB"});
  root->setSelected(true);
  chooser.btn19->click();
  EXPECT_EQ(takeBoxTexts(), QStringList{"您选中的是[我的手机],请选择其它选项！"});
  EXPECT_TRUE(chooser.isVisible());
  root->setSelected(false);
  disk->setSelected(true);
  chooser.btn19->click();
  EXPECT_TRUE(takeBoxes().empty());
  EXPECT_FALSE(chooser.isVisible());
  EXPECT_EQ(main().lbledt8->text(), "USB  2:Kingston 7.5 GB USB");
}

}  // namespace
}  // namespace orv::testing
