#pragma once
// The wireless-link window. Hidden at start; it also holds the phone's storage
// list, which the phone survey fills, and the box that the phone workers
// take command output apart in.

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace orv {

class WorkerThreads;

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  TForm2();

  // "无线互联设置": the wireless link, run on a worker so the window answers
  // while adb waits on the network.
  void btn1Click();
  bool linkRunning() const;

  QPushButton* btn1;     // "无线互联设置"
  QLineEdit* lbledt1;    // "Devices"
  QLineEdit* lbledt2;    // "test"
  QLineEdit* lbledt3;    // "WLan IP:"
  QTreeWidget* lv1;      // the storage list, one row per partition ("Result")
  QPlainTextEdit* mmo1;  // command output ("Log")

 private:
  WorkerThreads* workers_;
};

}  // namespace orv
