#include "app/tform5.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <QTableView>
#include <QTimer>

#include "app/page_builders.h"
#include "app/qt_text.h"
#include "app/result_table_model.h"
#include "app/user_files.h"
#include "app/worker_threads.h"
#include "platform/clock.h"
#include "results/list_to_file.h"

namespace orv {
namespace {

// How often the lists look for rows the scan added.
constexpr int kRefreshMs = 250;

QGroupBox* Framed(QWidget* parent, ResultTable table, QWidget* content) {
  return MakeGroup(parent, ToQt(std::string(ResultTableCaption(table))), content);
}

}  // namespace

TForm5::TForm5() : refreshTimer_(new QTimer(this)), workers_(new WorkerThreads(this)) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("扫描原始结果"));
  resize(960, 640);
  lv1 = makeList("lv1", ResultTable::kDbResult);
  lv2 = makeList("lv2", ResultTable::kPhotoResult);
  lv3 = makeList("lv3", ResultTable::kFuck1);
  lv4 = makeList("lv4", ResultTable::kFuck2);
  lv5 = makeList("lv5", ResultTable::kFuck3);
  buildLayout();
  buildMenu();
  connect(lv1->horizontalHeader(), &QHeaderView::sectionClicked, this, &TForm5::lv1ColumnClick);
  connect(lv3->horizontalHeader(), &QHeaderView::sectionClicked, this, &TForm5::lv3ColumnClick);
  connect(lv4->horizontalHeader(), &QHeaderView::sectionClicked, this, &TForm5::lv4ColumnClick);
  connect(lv5->horizontalHeader(), &QHeaderView::sectionClicked, this, &TForm5::lv5ColumnClick);
  connect(refreshTimer_, &QTimer::timeout, this, &TForm5::refreshLists);
  refreshTimer_->start(kRefreshMs);
}

// An export reads the store: it must end before the store goes.
TForm5::~TForm5() { workers_->waitForAll(); }

QTableView* TForm5::makeList(const char* name, ResultTable table) {
  QTableView* list = MakeReportTable(this, name);
  auto* model = new ResultTableModel(tables_, table, this);
  models_[static_cast<std::size_t>(table)] = model;
  list->setModel(model);
  return list;
}

void TForm5::buildLayout() {
  auto* middle = new QSplitter(Qt::Horizontal);
  middle->addWidget(Framed(this, ResultTable::kFuck1, lv3));
  middle->addWidget(Framed(this, ResultTable::kFuck2, lv4));
  auto* bottomSplit = new QSplitter(Qt::Horizontal);
  bottomSplit->addWidget(lv2);
  bottomSplit->addWidget(lv5);
  auto* all = new QSplitter(Qt::Vertical, this);
  all->addWidget(Framed(this, ResultTable::kDbResult, lv1));
  all->addWidget(middle);
  // Fuck3 sits in the right half of the Photo-Result group.
  all->addWidget(Framed(this, ResultTable::kPhotoResult, bottomSplit));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(all);
}

void TForm5::buildMenu() {
  pm1 = new QMenu(this);
  pm1->setObjectName(QStringLiteral("pm1"));
  N1 = pm1->addAction(QStringLiteral("保存当前内容DB-Result[测试]"), this, &TForm5::N1Click);
  Fuck11 = pm1->addAction(QStringLiteral("保存当前内容Fuck1[测试]"), this, &TForm5::Fuck11Click);
  Fuck21 = pm1->addAction(QStringLiteral("保存当前内容Fuck2[测试]"), this, &TForm5::Fuck21Click);
  Fuck31 = pm1->addAction(QStringLiteral("保存当前内容Fuck3[测试]"), this, &TForm5::Fuck31Click);
  N1->setObjectName(QStringLiteral("N1"));
  Fuck11->setObjectName(QStringLiteral("Fuck11"));
  Fuck21->setObjectName(QStringLiteral("Fuck21"));
  Fuck31->setObjectName(QStringLiteral("Fuck31"));
  for (QTableView* list : {lv1, lv2, lv3, lv4, lv5}) {
    connect(list, &QWidget::customContextMenuRequested, pm1,
            [this, list](const QPoint& at) { pm1->popup(list->viewport()->mapToGlobal(at)); });
  }
}

void TForm5::refreshLists() {
  for (ResultTableModel* model : models_) model->refresh();
}

// DB-Result and Fuck1 keep the direction; Fuck2 and Fuck3 flip it after
// sorting. Column 0 is the SN.
void TForm5::lv1ColumnClick(int column) { sortList(ResultTable::kDbResult, column, false); }
void TForm5::lv3ColumnClick(int column) { sortList(ResultTable::kFuck1, column, false); }
void TForm5::lv4ColumnClick(int column) { sortList(ResultTable::kFuck2, column, true); }
void TForm5::lv5ColumnClick(int column) { sortList(ResultTable::kFuck3, column, true); }

void TForm5::sortList(ResultTable table, int column, bool flipDirection) {
  tables_.sortByTextColumn(table, static_cast<std::size_t>(column), sortAscending_);
  refreshLists();
  if (flipDirection) sortAscending_ = !sortAscending_;
}

void TForm5::N1Click() { exportTable(ResultTable::kDbResult, QStringLiteral("Torvane-DbResult-")); }
void TForm5::Fuck11Click() { exportTable(ResultTable::kFuck1, QStringLiteral("Torvane-Fuck1-")); }
void TForm5::Fuck21Click() { exportTable(ResultTable::kFuck2, QStringLiteral("Torvane-Fuck2-")); }
void TForm5::Fuck31Click() { exportTable(ResultTable::kFuck3, QStringLiteral("Torvane-Fuck3-")); }

void TForm5::exportTable(ResultTable table, const QString& prefix) {
  dlgSave1.owner = this;
  dlgSave1.save = true;
  dlgSave1.fileName = prefix + ToQt(FormatFileStamp(Now())) + ".orv";
  if (!RunFileDialog(dlgSave1)) return;  // cancelled: nothing is written
  if (dlgSave1.fileName.isEmpty()) {
    ShowMessageBox(QStringLiteral("保存路径不能为空，请重新设置!"), QStringLiteral("路径为空"));
    return;
  }
  workers_->start([this, table, name = FromQt(dlgSave1.fileName)] {
    Tlvtofile(tables_, table, name, kUserFileEncoding, messages_).run();
  });
}

}  // namespace orv
