// Wiring the controls of the main window to their handlers, and running
// workers.

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <exception>

#include "app/tform1.h"

namespace orv {
namespace {

void ConnectPopup(QAbstractItemView* view, QMenu* menu) {
  QObject::connect(
      view, &QWidget::customContextMenuRequested, menu,
      [view, menu](const QPoint& at) { menu->popup(view->viewport()->mapToGlobal(at)); });
}

}  // namespace

void TForm1::connectHandlers() {
  connect(btn1, &QPushButton::clicked, this, &TForm1::btn1Click);
  connect(btn3, &QToolButton::clicked, this, &TForm1::btn3Click);
  connect(btn5, &QToolButton::clicked, this, &TForm1::btn5Click);
  connect(btn6, &QToolButton::clicked, this, &TForm1::btn6Click);
  connect(btn10, &QToolButton::clicked, this, &TForm1::btn10Click);
  connect(btn16, &QPushButton::clicked, this, &TForm1::btn16Click);
  connect(btn17, &QPushButton::clicked, this, &TForm1::btn17Click);
  connect(btn18, &QPushButton::clicked, this, &TForm1::btn18Click);
  connect(btn19, &QPushButton::clicked, this, &TForm1::btn19Click);
  connect(btn20, &QPushButton::clicked, this, &TForm1::btn20Click);
  connect(btn21, &QPushButton::clicked, this, &TForm1::btn21Click);
  connect(btn23, &QPushButton::clicked, this, &TForm1::btn20Click);
  connect(btn24, &QPushButton::clicked, this, &TForm1::btn24Click);
  connect(btnRawResults, &QPushButton::clicked, this, &TForm1::btnRawResultsClick);
  connect(btnWireless, &QPushButton::clicked, this, &TForm1::btnWirelessClick);
  connect(N1, &QAction::triggered, this, &TForm1::N1Click);
  connect(N2, &QAction::triggered, this, &TForm1::N2Click);
  connect(MenuItem1, &QAction::triggered, this, &TForm1::MenuItem1Click);
  connect(lv9->horizontalHeader(), &QHeaderView::sectionClicked, this, &TForm1::k);
  connect(lv12->horizontalHeader(), &QHeaderView::sectionClicked, this, &TForm1::lv12ColumnClick);
  connect(tmr1, &QTimer::timeout, this, &TForm1::tmr1Timer);
  connect(tv1, &QTreeWidget::itemDoubleClicked, this, &TForm1::tv1DblClick);
  for (const auto& [button, handler] : {std::pair{btn2, &TForm1::btn2Click},
                                        {btn7, &TForm1::btn7Click},
                                        {btn8, &TForm1::btn8Click},
                                        {btn9, &TForm1::btn9Click},
                                        {btn11, &TForm1::btn11Click},
                                        {btn12, &TForm1::btn12Click},
                                        {btn13, &TForm1::btn13Click},
                                        {btn14, &TForm1::btn14Click},
                                        {btn15, &TForm1::btn15Click}}) {
    connect(button, &QPushButton::clicked, this, handler);
  }
  ConnectPopup(lv4, pm1);
  ConnectPopup(lv9, pm2);
  ConnectPopup(lv12, pm3);
}

void TForm1::startWorker(std::function<void()> job, std::function<void()> whenDone) {
  workers_->start(
      [job = std::move(job), views = views_.get()] {
        try {
          job();
        } catch (const std::exception& error) {
          views->addLogLine(MakeLogLine("错误", error.what()));
        }
      },
      std::move(whenDone));
}

}  // namespace orv
