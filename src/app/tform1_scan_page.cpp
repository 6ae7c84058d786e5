// The scan page: the scan path, the scan kind, starting and stopping the scan,
// and the way on to the results.

#include <QBoxLayout>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "app/page_builders.h"
#include "app/preview_model.h"
#include "app/qt_text.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "app/tform4.h"
#include "app/tform5.h"
#include "platform/stop_flag.h"
#include "scan/tscan.h"

namespace orv {

// How one scan run ended, written by its worker before the thread ends, and
// whether the user asked it to stop; read on the UI thread when it has ended.
struct TForm1::ScanRunState {
  ScanOutcome outcome = ScanOutcome::kStopped;
  bool stopAsked = false;
};

namespace {

QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& caption) {
  auto* radio = new QRadioButton(caption, parent);
  radio->setObjectName(QString::fromLatin1(name));
  return radio;
}

QGroupBox* MakeScanHelp(QWidget* parent) {
  return MakeTextGroup(
      parent, QStringLiteral("扫描说明"),
      {QStringLiteral("  当您设置好这些扫描路径后点击开始扫描按钮就可"),
       QStringLiteral("  以对设定的目标进行扫描，点击停止扫描可以中断"), QStringLiteral("  扫描。"),
       QString(), QStringLiteral("  什么是扫描路径？"),
       QStringLiteral("  指上一步生成的镜像文件或SD卡所在的位置"), QString(),
       QStringLiteral("  物理盘"), QStringLiteral("  如果是镜像到SD卡，请点击[物理盘]按钮选择SD卡"),
       QString(), QStringLiteral("  浏览文件"),
       QStringLiteral("  如果生成的是镜像文件，请点击[浏览文件]按钮")});
}

}  // namespace

QWidget* TForm1::buildScanPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("ts4"));
  auto* pathRow = new QHBoxLayout;
  lbledt8 = MakeLabeledEdit(page, pathRow, "lbledt8", QStringLiteral("扫描路径  "), true);
  btn16 = MakeButton(page, "btn16", QStringLiteral("浏览文件"));
  btn21 = MakeButton(page, "btn21", QStringLiteral("物理盘"));
  pathRow->addWidget(btn16);
  pathRow->addWidget(btn21);

  auto* kinds = new QGroupBox(QStringLiteral("扫描内容"), page);
  auto* kindLayout = new QGridLayout(kinds);
  rb4 = MakeRadio(kinds, "rb4", QStringLiteral("通讯录、通话记录、短信"));
  rb5 = MakeRadio(kinds, "rb5", QStringLiteral("记事本"));
  rb6 = MakeRadio(kinds, "rb6", QStringLiteral("QQ聊天记录"));
  rb7 = MakeRadio(kinds, "rb7", QStringLiteral("微信聊天记录"));
  kindLayout->addWidget(rb4, 0, 0);
  kindLayout->addWidget(rb5, 0, 1);
  kindLayout->addWidget(rb6, 1, 0);
  kindLayout->addWidget(rb7, 1, 1);
  // Checked: each database's own layout is learned from the image, so newer
  // Android releases and vendor layouts are recovered too.
  chkLearnedLayouts = new QCheckBox(QStringLiteral("识别新版手机数据格式"), kinds);
  chkLearnedLayouts->setObjectName(QStringLiteral("chkLearnedLayouts"));
  chkLearnedLayouts->setChecked(true);
  kindLayout->addWidget(chkLearnedLayouts, 2, 0, 1, 2);
  btn17 = MakeButton(page, "btn17", QStringLiteral("开始扫描"));
  btn18 = MakeButton(page, "btn18", QStringLiteral("停止扫描"));
  btn18->setEnabled(false);  // until a scan runs
  auto* run = new QHBoxLayout;
  run->addWidget(btn17);
  run->addWidget(btn18);
  run->addStretch();
  auto* settings = new QVBoxLayout;
  settings->addWidget(kinds);
  settings->addLayout(run);
  settings->addStretch();

  auto* help = MakeScanHelp(page);
  help->setFixedWidth(340);
  auto* middle = new QHBoxLayout;
  middle->addLayout(settings, 1);
  middle->addWidget(help);
  lv8 = MakeHintList(page, "lv8");
  btn20 = MakeButton(page, "btn20", QStringLiteral("上一步"));
  btn20->setEnabled(false);
  btn19 = MakeButton(page, "btn19", QStringLiteral("下一步"));
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(pathRow);
  layout->addLayout(middle, 1);
  layout->addWidget(MakeBottomRow(page, lv8, {btn20, btn19}));
  return page;
}

void TForm1::btn16Click() {
  RunFileDialog(dlgOpen1);
  // The dialog's answer is not asked: after a cancel the previous choice
  // stands and is applied again.
  if (!dlgOpen1.fileName.isEmpty()) setScanSource(ScanSource::File(FromQt(dlgOpen1.fileName)));
}

void TForm1::setScanSource(ScanSource source) {
  scanSource_ = std::move(source);
  lbledt8->setText(ToQt(scanSource_.text));
}

void TForm1::btn17Click() {
  if (lbledt8->text().isEmpty()) {
    ShowMessageBox(QStringLiteral("扫描路径不能为空，请重新设置!"));
    return;
  }
  ClearStop();
  ResultTables& tables = peers_.form5->tables();
  tables.clearAll();
  ScanSettings settings;
  // A scan path set without a source (by the imaging page) is read as text.
  const std::string shown = FromQt(lbledt8->text());
  settings.source = shown == scanSource_.text ? scanSource_ : ScanSource(shown);
  settings.diskPlaces = diskPlaces;
  // Only the first kind is offered; the others are disabled at start.
  settings.kind = rb4->isChecked()   ? ScanKind::kContactsCallsSms
                  : rb5->isChecked() ? ScanKind::kNotes
                  : rb6->isChecked() ? ScanKind::kQqChats
                                     : ScanKind::kWeChatChats;
  settings.layouts = chkLearnedLayouts->isChecked() ? LayoutMode::kLearned : LayoutMode::kSpec;
  // Disabled at once, so that a double click cannot start a second scan.
  setScanButtonsEnabled(false);
  auto run = std::make_shared<ScanRunState>();
  runningScan_ = run;
  startWorker([settings, &tables, views = views_.get(),
               run] { run->outcome = Tscan(settings, tables, *views).run(); },
              [this, run] { scanEnded(run); });
}

void TForm1::btn18Click() {
  if (!runningScan_) return;  // nothing to stop
  const BoxAnswer answer =
      ShowMessageBox(QStringLiteral("停止扫描后将不能恢复完整的内容，是否真的要停止？"),
                     QStringLiteral("提示"), BoxIcon::kInformation, BoxButtons::kYesNo);
  // The scan may have ended while the question was open: then its results
  // stand and the answer changes nothing.
  if (answer != BoxAnswer::kYes || !runningScan_) return;
  runningScan_->stopAsked = true;
  RequestStop();
  stat1->setPanelText(0, QStringLiteral("就绪"));
  stat1->setPanelText(1, QString());
}

// The result tables are cleared only here, when the worker can no longer add
// rows, and only when the user's stop really ended the scan early.
void TForm1::scanEnded(const std::shared_ptr<ScanRunState>& run) {
  if (run != runningScan_) return;  // a newer scan owns the tables, buttons and gauge
  runningScan_.reset();
  setScanButtonsEnabled(true);
  finishProgress(run->outcome == ScanOutcome::kCompleted);
  if (!run->stopAsked) return;
  if (run->outcome == ScanOutcome::kStopped) {
    ResultTables& tables = peers_.form5->tables();
    for (ResultTable table :
         {ResultTable::kDbResult, ResultTable::kFuck1, ResultTable::kFuck2, ResultTable::kFuck3}) {
      tables.clear(table);
    }
  } else {
    ClearStop();  // asked too late to stop anything: the flag must not linger
  }
}

void TForm1::btn19Click() {
  normalModel_->clearRows();
  deletedModel_->clearRows();
  const ResultTables& tables = peers_.form5->tables();
  if (tables.rowCount(ResultTable::kFuck1) > 0 || tables.rowCount(ResultTable::kFuck2) > 0 ||
      tables.rowCount(ResultTable::kFuck3) > 0) {
    showOnlyPage(ts5);
    return;
  }
  ShowMessageBox(QStringLiteral("Sorry,虽然程序已经很给力的扫描，但是没有发现任何数据！"));
}

void TForm1::btn20Click() { showOnlyPage(ts4); }

void TForm1::btn21Click() {
  peers_.form4->show();
  peers_.form4->raise();
  peers_.form4->clearDisks();
  peers_.form4->ListUsbDisks(diskPlaces);
}

}  // namespace orv
