#include "app/tform1.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

#include "app/connect_view_gui.h"
#include "app/gauge.h"
#include "app/icons.h"
#include "app/log_model.h"
#include "app/phone_views.h"
#include "app/preview_model.h"
#include "app/status_panels.h"
#include "app/tform2.h"
#include "app/tform4.h"
#include "app/tform5.h"
#include "app/tform6.h"
#include "device/adb_commands.h"
#include "imaging/timage.h"
#include "platform/stop_flag.h"

namespace orv {

TForm1::TForm1(QString programDir)
    : programDir_(std::move(programDir)),
      logModel_(new LogModel(this)),
      normalModel_(new PreviewModel(ImageListIcon(ImageList::kIl2, kNormalRecordImage), this)),
      deletedModel_(new PreviewModel(ImageListIcon(ImageList::kIl2, kDeletedRecordImage), this)),
      views_(std::make_unique<MainWindowViews>(*this)),
      workers_(new WorkerThreads(this)),
      imagingViews_(std::make_unique<ImagingViews>(*this, static_cast<ScanView&>(*views_))) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("ORV 安卓手机数据恢复 - 通讯录、通话记录、短信"));
  // A caption bar with the system menu and the minimise button; fixed size.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(926, 593);
  normalModel_->setRowColour(&TForm1::lv9CustomDrawItem);
  dlgOpen1 = {this, false, QString(), QString()};
  dlgSave1 = {this, true, QStringLiteral("log|*.log"), QString()};
  dlgSave2 = {this, true, QStringLiteral("csv|*.csv"), QString()};

  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(4, 4, 4, 0);
  outer->setSpacing(3);
  auto* body = new QHBoxLayout;
  body->addWidget(buildLeftPanel());
  auto* right = new QVBoxLayout;
  right->addWidget(buildSpeedButtons());
  buildPages();
  right->addWidget(pgc1, 1);
  right->addWidget(buildLog());
  body->addLayout(right, 1);
  outer->addLayout(body, 1);
  outer->addWidget(buildBottom());
  setCentralWidget(central);

  connectHandlers();
  FormCreate();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

TForm1::~TForm1() { finishWorkers(); }

void TForm1::finishWorkers() {
  if (workers_->running() == 0) return;
  RequestStop();
  if (imaging_) imaging_->requestStop();
  workers_->waitForAll();
}

bool TForm1::workersRunning() const { return workers_->running() > 0; }

void TForm1::showOnlyPage(QWidget* page) {
  pgc1->setCurrentWidget(page);
  for (int i = 0; i < pgc1->count(); ++i) pgc1->setTabVisible(i, pgc1->widget(i) == page);
}

// The scan buttons are disabled exactly while a scan runs, which is when
// "停止扫描" has something to stop.
void TForm1::setScanButtonsEnabled(bool enabled) {
  btn17->setEnabled(enabled);
  btn19->setEnabled(enabled);
  btn20->setEnabled(enabled);
  btn18->setEnabled(!enabled);
}

void TForm1::finishProgress(bool completed) {
  g1->finish(completed);
  stat1->setProgressText(QString());
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
  QCoreApplication::quit();
}

// The program ends with the main window: the workers are stopped, the windows
// go, and then adb's server is told to end (the program waits for that no
// longer than the command's own limit, with nothing left on the screen, and
// a missing adb costs nothing).
void TForm1::FormClose() {
  finishWorkers();
  for (QWidget* peer :
       std::initializer_list<QWidget*>{peers_.form2, peers_.form4, peers_.form5, peers_.form6}) {
    if (peer) peer->hide();
  }
  hide();
  RunAdb(AdbKillServer());
}

}  // namespace orv
