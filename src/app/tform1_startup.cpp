// Start-up of the main window and the rotating link of the status bar.

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/icons.h"
#include "app/my_label.h"
#include "app/qt_text.h"
#include "app/status_panels.h"
#include "app/tform1.h"

namespace orv {
namespace {

void SetHint(QListWidget* list, const QString& text) {
  list->clear();
  list->addItem(new QListWidgetItem(ImageListIcon(ImageList::kIl3, kHintImage), text));
}

}  // namespace

void TForm1::FormCreate() {
  rb4->setChecked(true);
  for (QRadioButton* other : {rb5, rb6, rb7}) other->setEnabled(false);
  btn8->setEnabled(false);
  btn1->setEnabled(true);  // the phone steps start here
  showOnlyPage(ts4);
  lv11->addItem(new QListWidgetItem(ImageListIcon(ImageList::kIl2, kNormalRecordImage),
                                    QStringLiteral("此符号表示正常的记录")));
  lv11->addItem(new QListWidgetItem(ImageListIcon(ImageList::kIl2, kDeletedRecordImage),
                                    QStringLiteral("此符号表示删除的记录")));
  fillHintLists();
  lv2->clear();
  lv2->addItem(
      new QListWidgetItem(ImageListIcon(ImageList::kIl1, kStateImage), QStringLiteral("未连接")));
  stat1->setPanelText(0, QStringLiteral("就绪"));
  stat1->setPanelText(1, QString());
  loadLinks();
  tmr1->start();
}

void TForm1::fillHintLists() {
  SetHint(lv5, QStringLiteral("选中您要镜像的盘符,点击 [下一步] 镜像;如需镜像文件请点击 [切换] "));
  SetHint(lv6, QStringLiteral("选中您要镜像的文件,点击 [下一步] 镜像;如需镜像盘符请点击 [切换] "));
  SetHint(lv7, QStringLiteral("镜像完毕或者您有做好的镜像点击[下一步]开始恢复,返回请点击[上一步]"));
  SetHint(lv8, QStringLiteral("扫描完毕后请点击[下一步]加载扫描结果,返回请点击[上一步]"));
  SetHint(lv10, QStringLiteral("想要保存扫描结果，请在上方[预览]表中点击右键,然后选择[保存结果]"));
}

void TForm1::loadLinks() {
  const LinkListRead read = ReadLinkList(FromQt(programDir_ + "/Item.ini"));
  if (read.badCount) {
    ShowMessageBox(QStringLiteral("“%1”不是有效的整数值").arg(ToQt(read.countText)),
                   QStringLiteral("错误"), BoxIcon::kError);
    return;
  }
  links_ = read.links;
  if (LinksUsable(links_)) createLinkLabel();
}

void TForm1::createLinkLabel() {
  linkLabel = new myLabel(stat1, tmr1, [this] { openCurrentLink(); });
  linkLabel->setObjectName(QStringLiteral("linkLabel"));
  linkLabel->adjustSize();
  linkLabel->move(StatusPanels::kPanelWidths[0] + StatusPanels::kPanelWidths[1] + 4,
                  (stat1->height() - linkLabel->height()) / 2);
  linkIndex_ = 0;
}

void TForm1::openCurrentLink() {
  if (linkIndex_ < links_.size()) CurrentDesktop().openUrl(QUrl(ToQt(links_[linkIndex_].url)));
}

void TForm1::tmr1Timer() {
  if (!linkLabel) return;
  linkIndex_ = (linkIndex_ + 1) % links_.size();
  linkLabel->resetColour();
  linkLabel->setText(ToQt(links_[linkIndex_].name));
  linkLabel->adjustSize();
  linkLabel->move(linkLabel->x(), (stat1->height() - linkLabel->height()) / 2);
}

}  // namespace orv
