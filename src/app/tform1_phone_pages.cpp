// The phone pages of the wizard: the phone's storage, its files and imaging.
// Their controls are filled by the phone workers.

#include <QBoxLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "app/page_builders.h"
#include "app/tform1.h"
#include "app/tform2.h"

namespace orv {

void TForm1::buildPages() {
  pgc1 = new QTabWidget(this);
  pgc1->setObjectName(QStringLiteral("pgc1"));
  ts1 = buildStoragePage();
  ts2 = buildFilesPage();
  ts3 = buildImagingPage();
  ts4 = buildScanPage();
  ts5 = buildResultsPage();
  pgc1->addTab(ts1, QStringLiteral("手机存储"));
  pgc1->addTab(ts2, QStringLiteral("手机文件"));
  pgc1->addTab(ts3, QStringLiteral("物理盘/逻辑盘/文件 镜像"));
  pgc1->addTab(ts4, QStringLiteral("扫描"));
  pgc1->addTab(ts5, QStringLiteral("恢复结果"));
}

QWidget* TForm1::buildStoragePage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("ts1"));
  tv2 = new QTreeWidget(page);
  tv2->setObjectName(QStringLiteral("tv2"));
  tv2->setHeaderHidden(true);
  auto* help = MakeTextGroup(
      page, QStringLiteral("说明"),
      {QStringLiteral("  我需要做那些准备工作？"), QStringLiteral("  Root您的手机;"),
       QStringLiteral("  程序要以最高权限读取手机的分区,"),
       QStringLiteral("  没有Root权限将无法镜像。"), QString(), QStringLiteral("  手机配置"),
       QStringLiteral("  手机的硬件信息，如CPU、内存等")});
  help->setFixedWidth(260);
  auto* top = new QHBoxLayout;
  top->addWidget(tv2, 1);
  top->addWidget(help);
  lv5 = MakeHintList(page, "lv5");
  btn8 = MakeButton(page, "btn8", QStringLiteral("切换"));
  btnWireless = MakeButton(page, "btnWireless", QStringLiteral("无线互联设置"));
  btn2 = MakeButton(page, "btn2", QStringLiteral("下一步"));
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top, 1);
  layout->addWidget(MakeBottomRow(page, lv5, {btnWireless, btn8, btn2}));
  return page;
}

// The wireless link is set up while the phone is still on the cable; its
// window is reached from the storage page.
void TForm1::btnWirelessClick() {
  peers_.form2->show();
  peers_.form2->raise();
}

QWidget* TForm1::buildFilesPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("ts2"));
  tv1 = new QTreeWidget(page);
  tv1->setObjectName(QStringLiteral("tv1"));
  tv1->setHeaderHidden(true);
  lv1 = MakeColumnList(
      page, "lv1",
      {QStringLiteral("文件名称"), QStringLiteral("文件长度(字节)"), QStringLiteral("创建时间"),
       QStringLiteral("链接文件"), QStringLiteral("路径")});
  auto* folders = MakeGroup(page, QStringLiteral("文件夹(路径+目录名)"), tv1);
  folders->setFixedWidth(220);
  auto* top = new QHBoxLayout;
  top->addWidget(folders);
  top->addWidget(MakeGroup(page, QStringLiteral("文件"), lv1), 1);
  lv6 = MakeHintList(page, "lv6");
  btn9 = MakeButton(page, "btn9", QStringLiteral("切换"));
  btn7 = MakeButton(page, "btn7", QStringLiteral("下一步"));
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top, 1);
  layout->addWidget(MakeBottomRow(page, lv6, {btn9, btn7}));
  return page;
}

QWidget* TForm1::buildImagingPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("ts3"));
  auto* edits = new QVBoxLayout;
  edits->setSpacing(2);
  lbledt1 = MakeLabeledEdit(page, edits, "lbledt1", QStringLiteral("源盘/文件路径："), true);
  lbledt2 = MakeLabeledEdit(page, edits, "lbledt2",
                            QStringLiteral("目标盘路径(手机外部SD卡、外部存储)："), true);
  lbledt4 = MakeLabeledEdit(page, edits, "lbledt4", QStringLiteral("源盘容量/文件长度[单位Byte]："),
                            true);
  lbledt3 =
      MakeLabeledEdit(page, edits, "lbledt3", QStringLiteral("目标盘路径(Windows系统)："), false);
  btn12 = MakeButton(page, "btn12", QStringLiteral("浏览"));
  btn14 = MakeButton(page, "btn14", QStringLiteral("开始镜像"));
  btn15 = MakeButton(page, "btn15", QStringLiteral("停止镜像"));
  auto* actions = new QHBoxLayout;
  for (QPushButton* button : {btn12, btn14, btn15}) actions->addWidget(button);
  actions->addStretch();
  edits->addLayout(actions);
  edits->addStretch();
  auto* help = MakeTextGroup(
      page, QStringLiteral("镜像说明"),
      {QStringLiteral("  源盘/文件路径"), QStringLiteral("  此值程序自动生成，不需要更改"),
       QStringLiteral("  源盘容量/文件长度[单位Byte]"),
       QStringLiteral("  此值程序自动生成，不需要更改"),
       QStringLiteral("  目标盘路径(手机外部SD卡、外部存储)"),
       QStringLiteral("  此值程序自动生成，不需要更改"),
       QStringLiteral("  目标盘路径(Windows系统)"),
       QStringLiteral("  镜像文件或者小于4G的逻辑盘需要设置此项，点击[浏览]按钮"),
       QStringLiteral("  可以设置路径，设置好后点击[开始镜像]"),
       QStringLiteral("  对于大于4G的逻辑盘直接点击[开始镜像]按钮")});
  help->setFixedWidth(330);
  auto* top = new QHBoxLayout;
  top->addLayout(edits, 1);
  top->addWidget(help);
  lv7 = MakeHintList(page, "lv7");
  btn13 = MakeButton(page, "btn13", QStringLiteral("上一步"));
  btn11 = MakeButton(page, "btn11", QStringLiteral("下一步"));
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top, 1);
  layout->addWidget(MakeBottomRow(page, lv7, {btn13, btn11}));
  return page;
}

}  // namespace orv
