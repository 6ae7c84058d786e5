#pragma once
// The physical-disk chooser: lists the USB disks attached to the computer and
// puts the chosen one into the main window's scan path.

#include <QWidget>

class QPushButton;
class QTreeWidget;

namespace orv {

class TForm1;

class TForm4 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm4(TForm1& main);

  void clearDisks();
  void btn19Click();

  QTreeWidget* tv1;    // the USB disks under one root node
  QPushButton* btn19;  // "下一步"

 private:
  TForm1& main_;
};

}  // namespace orv
