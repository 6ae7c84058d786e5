#include "app/tform2.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/page_builders.h"

namespace orv {

TForm2::TForm2() {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("无线互联"));
  resize(760, 520);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  lbledt1 = MakeLabeledEdit(this, top, "lbledt1", QStringLiteral("Devices"), false);
  lbledt2 = MakeLabeledEdit(this, top, "lbledt2", QStringLiteral("test"), false);
  lbledt3 = MakeLabeledEdit(this, top, "lbledt3", QStringLiteral("WLan IP:"), true);
  btn1 = MakeButton(this, "btn1", QStringLiteral("无线互联设置"));
  top->addWidget(btn1);
  layout->addLayout(top);
  lv1 = MakeColumnList(
      this, "lv1",
      {QStringLiteral("SN"), QStringLiteral("主块-P"), QStringLiteral("次块-P"),
       QStringLiteral("长度-P"), QStringLiteral("分区名称-P"), QStringLiteral("文件系统-M"),
       QStringLiteral("链接文件-M"), QStringLiteral("挂载点-M"), QStringLiteral("路径-M"),
       QStringLiteral("长度-D"), QStringLiteral("使用空间-D"), QStringLiteral("空闲空间-D"),
       QStringLiteral("盘符属性"), QStringLiteral("所属物理盘")});
  layout->addWidget(MakeGroup(this, QStringLiteral("Result"), lv1), 2);
  mmo1 = new QPlainTextEdit(this);
  mmo1->setObjectName(QStringLiteral("mmo1"));
  layout->addWidget(MakeGroup(this, QStringLiteral("Log"), mmo1), 1);
}

}  // namespace orv
