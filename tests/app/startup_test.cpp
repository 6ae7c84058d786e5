// The main window as it opens, and the other windows created with it.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <functional>

#include "app/my_label.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "app/tform4.h"
#include "app/tform5.h"
#include "app/tform6.h"
#include "device/adb_commands.h"
#include "device/fake_phone.h"
#include "gui_test.h"

namespace orv::testing {
namespace {

class StartupTest : public GuiTest {};

QStringList VisibleTabs(const QTabWidget* pages) {
  QStringList captions;
  for (int i = 0; i < pages->count(); ++i) {
    if (pages->isTabVisible(i)) captions << pages->tabText(i);
  }
  return captions;
}

TEST_F(StartupTest, OpensOnTheScanPageWithTheIdleState) {
  createForms();
  TForm1& form = main();
  EXPECT_EQ(form.size(), QSize(926, 593));
  EXPECT_EQ(VisibleTabs(form.pgc1), QStringList{"扫描"});
  EXPECT_EQ(form.pgc1->currentWidget(), form.ts4);
  EXPECT_FALSE(form.btn20->isEnabled());
  EXPECT_TRUE(form.btn19->isEnabled());
  EXPECT_TRUE(form.btn17->isEnabled());
  EXPECT_TRUE(form.btn1->isEnabled());
  EXPECT_FALSE(form.btn8->isEnabled());
  ASSERT_EQ(form.lv2->count(), 1);
  EXPECT_EQ(form.lv2->item(0)->text(), "未连接");
  EXPECT_EQ(form.stat1->panelText(0), "就绪");
  EXPECT_EQ(form.stat1->panelText(1), "");
  EXPECT_TRUE(form.rb4->isChecked());
  EXPECT_TRUE(form.chkLearnedLayouts->isChecked());
  EXPECT_EQ(form.chkLearnedLayouts->text(), "识别新版手机数据格式");
  for (QRadioButton* other : {form.rb5, form.rb6, form.rb7}) EXPECT_FALSE(other->isEnabled());
  EXPECT_TRUE(form.tmr1->isActive());
  EXPECT_EQ(form.tmr1->interval(), 2000);
  EXPECT_TRUE(takeBoxes().empty());
}

TEST_F(StartupTest, HintsAndLegendCarryTheirTexts) {
  createForms();
  TForm1& form = main();
  const std::pair<QListWidget*, QString> hints[] = {
      {form.lv5, "选中您要镜像的盘符,点击 [下一步] 镜像;如需镜像文件请点击 [切换] "},
      {form.lv6, "选中您要镜像的文件,点击 [下一步] 镜像;如需镜像盘符请点击 [切换] "},
      {form.lv7, "镜像完毕或者您有做好的镜像点击[下一步]开始恢复,返回请点击[上一步]"},
      {form.lv8, "扫描完毕后请点击[下一步]加载扫描结果,返回请点击[上一步]"},
      {form.lv10, "想要保存扫描结果，请在上方[预览]表中点击右键,然后选择[保存结果]"},
  };
  for (const auto& [list, text] : hints) {
    ASSERT_EQ(list->count(), 1) << list->objectName().toStdString();
    EXPECT_EQ(list->item(0)->text(), text);
    EXPECT_FALSE(list->item(0)->icon().isNull());
  }
  ASSERT_EQ(form.lv11->count(), 2);
  EXPECT_EQ(form.lv11->item(0)->text(), "此符号表示正常的记录");
  EXPECT_EQ(form.lv11->item(1)->text(), "此符号表示删除的记录");
}

TEST_F(StartupTest, ControlsAreFoundByTheirDesignerNames) {
  createForms();
  const char* const names[] = {
      "btn1",    "lv2",     "lv3",   "btn3",  "btn5",          "btn6",       "btn10",   "pgc1",
      "ts1",     "ts2",     "ts3",   "ts4",   "ts5",           "tv2",        "lv5",     "btn8",
      "btn2",    "tv1",     "lv1",   "lv6",   "btn9",          "btn7",       "lbledt1", "lbledt2",
      "lbledt3", "lbledt4", "btn12", "btn14", "btn15",         "lv7",        "btn13",   "btn11",
      "lbledt8", "btn16",   "btn21", "rb4",   "rb5",           "rb6",        "rb7",     "btn17",
      "btn18",   "lv8",     "btn20", "btn19", "pgc2",          "ts6",        "ts7",     "lv9",
      "lv12",    "rb1",     "rb2",   "rb3",   "lv11",          "mmo5",       "btn24",   "lv10",
      "btn23",   "lv4",     "g1",    "stat1", "btnRawResults", "btnWireless"};
  for (const char* name : names) {
    EXPECT_NE(main().findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
  }
  const std::pair<const char*, const char*> captions[] = {
      {"btn17", "开始扫描"},       {"btn18", "停止扫描"}, {"btn16", "浏览文件"},
      {"btn21", "物理盘"},         {"btn19", "下一步"},   {"btn20", "上一步"},
      {"btn24", "点击加载到预览"}, {"btn3", "关于我们"},  {"btn5", "ORV主页"},
      {"btn6", "程序使用"},        {"btn10", "反馈问题"}};
  for (const auto& [name, caption] : captions) {
    const auto* button = main().findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    EXPECT_EQ(button->text(), QString::fromUtf8(caption)) << name;
  }
}

TEST_F(StartupTest, OtherWindowsAreCreatedHidden) {
  createForms();
  main().show();
  EXPECT_TRUE(main().isVisible());
  EXPECT_FALSE(forms().form2->isVisible());
  EXPECT_FALSE(forms().form4->isVisible());
  EXPECT_FALSE(forms().form5->isVisible());
  EXPECT_FALSE(forms().form6->isVisible());
}

// They stay above the main window (owned by it) and open centred over it.
TEST_F(StartupTest, OtherWindowsAreOwnedAndOpenCentredOverTheMainWindow) {
  createForms();
  main().move(40, 30);
  const std::pair<QWidget*, std::function<void()>> windows[] = {
      {forms().form2.get(), [this] { main().btnWireless->click(); }},
      {forms().form4.get(), [this] { main().btn21->click(); }},
      {forms().form5.get(), [this] { main().btnRawResults->click(); }},
      {forms().form6.get(), [this] { main().btn3->click(); }},
  };
  for (const auto& [window, open] : windows) {
    EXPECT_EQ(window->parentWidget(), &main()) << window->objectName().toStdString();
    EXPECT_TRUE(window->isWindow());
    open();
    ASSERT_TRUE(window->isVisible()) << window->objectName().toStdString();
    const QPoint offset = window->geometry().center() - main().geometry().center();
    EXPECT_LE(offset.manhattanLength(), 1) << window->objectName().toStdString();
    window->hide();
  }
}

TEST_F(StartupTest, AboutAndFeedbackCarryTheirOwnTitles) {
  createForms();
  main().btn3->click();
  EXPECT_EQ(forms().form6->windowTitle(), "关于ORV");
  main().btn10->click();
  EXPECT_EQ(forms().form6->windowTitle(), "反馈问题");
}

TEST_F(StartupTest, ClosingTheMainWindowClosesTheOthers) {
  createForms();
  main().show();
  main().btn3->click();
  ASSERT_TRUE(forms().form6->isVisible());
  main().close();
  EXPECT_FALSE(forms().form6->isVisible());
}

TEST_F(StartupTest, ClosingTheMainWindowTellsTheAdbServerToEnd) {
  FakePhone phone("no-phone-linux");
  createForms();
  main().show();
  main().close();
  const auto calls = phone.calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args, std::vector<std::string>{"kill-server"});
}

TEST_F(StartupTest, AnAdbThatNeverEndsHoldsTheCloseOnlyForItsLimit) {
  FakePhone phone("no-phone-linux");
  phone.addRule("adb kill-server", {{"hang", "yes"}});
  createForms();
  main().show();
  const auto start = std::chrono::steady_clock::now();
  main().close();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, kAdbServiceLimit);
  EXPECT_LT(took, kAdbServiceLimit + std::chrono::milliseconds(2500));  // slack for a busy machine
}

// The link list of the status bar, ticked by hand instead of by tmr1.
class LinkLabelTest : public GuiTest {
 protected:
  QStringList captionsOverTicks(int ticks) {
    QStringList captions;
    for (int i = 0; i < ticks; ++i) {
      main().tmr1Timer();
      captions << main().linkLabel->text();
    }
    return captions;
  }
};

TEST_F(LinkLabelTest, RotatesThroughTheLinksStartingWithTheSecond) {
  writeProgramFile("Item.ini",
                   "[common]\ncont=3\n"
                   "[Item0]\nName=link 0\nURL=https://orv.example.com/a\n"
                   "[Item1]\nName=link 1\nURL=https://orv.example.com/b\n"
                   "[Item2]\nName=link 2\nURL=http://www.orv.example.com/c\n");
  createForms();
  ASSERT_NE(main().linkLabel, nullptr);
  EXPECT_EQ(main().linkLabel->text(), "");
  EXPECT_EQ(main().linkLabel->x(), 80 + 150 + 4);
  EXPECT_EQ(captionsOverTicks(4), (QStringList{"link 1", "link 2", "link 0", "link 1"}));
  QMouseEvent click(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(main().linkLabel, &click);
  ASSERT_EQ(openedUrls.size(), 1u);
  EXPECT_EQ(openedUrls[0], QUrl("https://orv.example.com/b"));
}

TEST_F(LinkLabelTest, OneLinkShowsOnEveryTick) {
  writeProgramFile("Item.ini",
                   "[common]\ncont=1\n[Item0]\nName=only\nURL=https://orv.example.com/\n");
  createForms();
  ASSERT_NE(main().linkLabel, nullptr);
  EXPECT_EQ(captionsOverTicks(3), (QStringList{"only", "only", "only"}));
}

TEST_F(LinkLabelTest, UnusableListsGiveNoLabel) {
  const struct {
    const char* ini;
    bool message;
  } cases[] = {
      {nullptr, false},               // no file
      {"[common]\n", false},          // no count
      {"[common]\ncont=0\n", false},  // no link
      {"[common]\ncont=1\n[Item0]\nName=x\nURL=https://evil.example.net/\n", false},
      {"[common]\ncont=1\n[Item0]\nName=x\nURL=https://orv.example.com.evil.net/\n", false},
      {"[common]\ncont=2\n[Item0]\nName=x\nURL=https://orv.example.com/\n",
       false},  // Item1 missing
      {"[common]\ncont=abc\n", true},
  };
  for (const auto& c : cases) {
    QFile::remove(programFile("Item.ini"));
    if (c.ini) writeProgramFile("Item.ini", c.ini);
    createForms();
    EXPECT_EQ(main().linkLabel, nullptr) << (c.ini ? c.ini : "(none)");
    main().tmr1Timer();  // without a label a tick does nothing
    EXPECT_EQ(takeBoxTexts().size(), c.message ? 1 : 0) << (c.ini ? c.ini : "(none)");
    destroyForms();
  }
}

}  // namespace
}  // namespace orv::testing
