#include "app/tform4.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/desktop.h"
#include "app/icons.h"
#include "app/page_builders.h"
#include "app/qt_text.h"
#include "app/tform1.h"
#include "scan/scan_source.h"
#include "scan/usb_disk_line.h"

namespace orv {
namespace {

constexpr int kDiskImage = 0;  // il2: a disk, and the root of the disks
constexpr int kListedIndexRole = Qt::UserRole;

}  // namespace

TForm4::TForm4(TForm1& main) : main_(main) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("浏览USB物理盘符"));
  resize(460, 340);
  tv1 = new QTreeWidget(this);
  tv1->setObjectName(QStringLiteral("tv1"));
  tv1->setHeaderHidden(true);
  tv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  btn19 = MakeButton(this, "btn19", QStringLiteral("下一步"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      MakeGroup(this, QStringLiteral("选中要扫描的物理USB盘符,再点击下一步返回主界面"), tv1), 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btn19);
  layout->addLayout(buttons);
  connect(btn19, &QPushButton::clicked, this, &TForm4::btn19Click);
}

void TForm4::clearDisks() {
  tv1->clear();
  listed_.clear();
}

bool TForm4::ListUsbDisks(const DiskPlaces& places) {
  clearDisks();
  listed_ = ListChoosableDisks(places);
  if (listed_.empty()) return false;
  auto* root = new QTreeWidgetItem(tv1, QStringList{QStringLiteral("物理USB存储设备")});
  root->setIcon(0, ImageListIcon(ImageList::kIl2, kDiskImage));
  for (std::size_t i = 0; i < listed_.size(); ++i) {
    auto* item = new QTreeWidgetItem(root, QStringList{ToQt(UsbDiskLine(listed_[i]))});
    item->setIcon(0, ImageListIcon(ImageList::kIl2, kDiskImage));
    item->setData(0, kListedIndexRole, static_cast<qulonglong>(i));
  }
  tv1->expandAll();
  return true;
}

void TForm4::btn19Click() {
  main_.setScanSource({});
  const QList<QTreeWidgetItem*> selected = tv1->selectedItems();
  if (selected.isEmpty()) {
    ShowMessageBox(QStringLiteral("矮油,好像您没有选中任何物理盘哟~~~"));
    return;
  }
  const QString text = selected.first()->text(0);
  if ((" " + text).contains(QStringLiteral("物理USB存储设备"))) {
    ShowMessageBox(QStringLiteral("您选中的是[我的手机],请选择其它选项！"));
    return;
  }
  hide();
  // A line of the listing travels with the disk as it was listed; any other
  // line is taken as its text says.
  const QVariant index = selected.first()->data(0, kListedIndexRole);
  const std::size_t i = index.isValid() ? index.toULongLong() : listed_.size();
  main_.setScanSource(i < listed_.size() ? ScanSource::ChosenDisk(listed_[i])
                                         : ScanSource(FromQt(text)));
}

}  // namespace orv
