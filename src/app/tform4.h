#pragma once
// The physical-disk chooser: lists the USB disks and card readers attached to
// the computer and puts the chosen one into the main window's scan path.

#include <QWidget>
#include <vector>

#include "platform/disk_list.h"

class QPushButton;
class QTreeWidget;

namespace orv {

class TForm1;

class TForm4 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm4(TForm1& main);

  void clearDisks();
  // Fills tv1 with the disks the chooser offers, found under `places`, under
  // one root node; true when at least one was listed.
  bool ListUsbDisks(const DiskPlaces& places);
  void btn19Click();

  QTreeWidget* tv1;    // the USB disks under one root node
  QPushButton* btn19;  // "下一步"

 private:
  TForm1& main_;
  std::vector<DiskInfo> listed_;  // the disks of tv1's lines, in order
};

}  // namespace orv
