// The parts of the main window around the wizard pages: the phone panel, the
// speed buttons, the activity log, the gauge and the status bar.

#include <QBoxLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include "app/gauge.h"
#include "app/log_model.h"
#include "app/status_panels.h"
#include "app/tform1.h"

namespace orv {
namespace {

QToolButton* MakeSpeedButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(caption);
  button->setAutoRaise(true);  // flat until the mouse is over it
  button->setMinimumWidth(72);
  return button;
}

}  // namespace

QWidget* TForm1::buildLeftPanel() {
  auto* panel = new QGroupBox(QStringLiteral("连接手机及手机信息-功能菜单"), this);
  panel->setFixedWidth(200);
  auto* layout = new QVBoxLayout(panel);
  btn1 = new QPushButton(QStringLiteral("连接好USB线后请点击"), panel);
  btn1->setObjectName(QStringLiteral("btn1"));
  btn1->setMinimumHeight(40);
  btn1->setEnabled(false);
  lv2 = new QListWidget(panel);
  lv2->setObjectName(QStringLiteral("lv2"));
  lv2->setFixedHeight(28);
  lv2->setSelectionMode(QAbstractItemView::NoSelection);
  lv2->setFocusPolicy(Qt::NoFocus);
  lv3 = new QTreeWidget(panel);
  lv3->setObjectName(QStringLiteral("lv3"));
  lv3->setRootIsDecorated(false);
  lv3->setHeaderLabels({QStringLiteral("内容")});
  auto* phoneGroup = new QGroupBox(QStringLiteral("手机配置"), panel);
  auto* phoneLayout = new QVBoxLayout(phoneGroup);
  phoneLayout->setContentsMargins(2, 2, 2, 2);
  phoneLayout->addWidget(lv3);
  layout->addWidget(btn1);
  layout->addWidget(lv2);
  layout->addWidget(phoneGroup, 1);
  return panel;
}

QWidget* TForm1::buildSpeedButtons() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  btn3 = MakeSpeedButton(row, "btn3", QStringLiteral("关于我们"));
  btn5 = MakeSpeedButton(row, "btn5", QStringLiteral("ORV主页"));
  btn6 = MakeSpeedButton(row, "btn6", QStringLiteral("程序使用"));
  btn10 = MakeSpeedButton(row, "btn10", QStringLiteral("反馈问题"));
  for (QToolButton* button : {btn3, btn5, btn6, btn10}) layout->addWidget(button);
  layout->addStretch();
  return row;
}

QWidget* TForm1::buildLog() {
  lv4 = new QTreeView(this);
  lv4->setObjectName(QStringLiteral("lv4"));
  lv4->setRootIsDecorated(false);
  lv4->setUniformRowHeights(true);
  lv4->setModel(logModel_);
  lv4->setContextMenuPolicy(Qt::CustomContextMenu);
  lv4->header()->setStretchLastSection(true);
  lv4->header()->resizeSection(0, 130);
  lv4->header()->resizeSection(1, 80);
  lv4->header()->resizeSection(2, 480);
  pm1 = new QMenu(lv4);
  pm1->setObjectName(QStringLiteral("pm1"));
  N1 = pm1->addAction(QStringLiteral("保存日志"));
  N1->setObjectName(QStringLiteral("N1"));
  auto* group = new QGroupBox(QStringLiteral("日志"), this);
  group->setFixedHeight(150);
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(lv4);
  return group;
}

QWidget* TForm1::buildBottom() {
  auto* bottom = new QWidget(this);
  auto* layout = new QVBoxLayout(bottom);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  g1 = new Gauge(bottom);
  g1->setObjectName(QStringLiteral("g1"));
  stat1 = new StatusPanels(bottom);
  stat1->setObjectName(QStringLiteral("stat1"));
  layout->addWidget(g1);
  layout->addWidget(stat1);
  tmr1 = new QTimer(this);
  tmr1->setObjectName(QStringLiteral("tmr1"));
  tmr1->setInterval(2000);
  return bottom;
}

}  // namespace orv
