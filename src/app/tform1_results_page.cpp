// The results page: previewing contacts, calls or messages, sorting and
// saving the preview lists.

#include <QBoxLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include "app/column_fit.h"
#include "app/gui_messages.h"
#include "app/page_builders.h"
#include "app/preview_model.h"
#include "app/qt_text.h"
#include "app/tform1.h"
#include "app/tform5.h"
#include "app/user_files.h"
#include "platform/clock.h"
#include "results/tsave.h"
#include "results/tyulan.h"

namespace orv {
namespace {

QTableView* MakePreviewList(QWidget* page, const char* name, PreviewModel* model) {
  QTableView* list = MakeReportTable(page, name);
  list->setModel(model);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list);
  return list;
}

QMenu* MakePopup(QWidget* owner, const char* menuName, const char* itemName, QAction** item) {
  auto* menu = new QMenu(owner);
  menu->setObjectName(QString::fromLatin1(menuName));
  *item = menu->addAction(QStringLiteral("保存结果"));
  (*item)->setObjectName(QString::fromLatin1(itemName));
  return menu;
}

// The word of a kind in default file names.
QString KindWord(PreviewKind kind) {
  switch (kind) {
    case PreviewKind::kContacts:
      return QStringLiteral("通讯录");
    case PreviewKind::kCalls:
      return QStringLiteral("通话记录");
    case PreviewKind::kMessages:
      return QStringLiteral("短信");
  }
  return {};
}

}  // namespace

QWidget* TForm1::buildResultsPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("ts5"));
  pgc2 = new QTabWidget(page);
  pgc2->setObjectName(QStringLiteral("pgc2"));
  ts6 = new QWidget(pgc2);
  ts6->setObjectName(QStringLiteral("ts6"));
  ts7 = new QWidget(pgc2);
  ts7->setObjectName(QStringLiteral("ts7"));
  lv9 = MakePreviewList(ts6, "lv9", normalModel_);
  lv12 = MakePreviewList(ts7, "lv12", deletedModel_);
  pgc2->addTab(ts6, QStringLiteral("正常"));
  pgc2->addTab(ts7, QStringLiteral("删除"));
  pm2 = MakePopup(lv9, "pm2", "N2", &N2);
  pm3 = MakePopup(lv12, "pm3", "MenuItem1", &MenuItem1);

  auto* top = new QHBoxLayout;
  top->addWidget(pgc2, 1);
  top->addWidget(buildResultsSide());
  lv10 = MakeHintList(page, "lv10");
  btn23 = MakeButton(page, "btn23", QStringLiteral("上一步"));
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top, 1);
  layout->addWidget(MakeBottomRow(page, lv10, {btn23}));
  return page;
}

QWidget* TForm1::buildResultsSide() {
  auto* side = new QWidget(this);
  side->setFixedWidth(190);
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(0, 0, 0, 0);
  rb1 = new QRadioButton(QStringLiteral("预览通讯录"), side);
  rb1->setObjectName(QStringLiteral("rb1"));
  rb2 = new QRadioButton(QStringLiteral("预览通话记录"), side);
  rb2->setObjectName(QStringLiteral("rb2"));
  rb3 = new QRadioButton(QStringLiteral("预览短信"), side);
  rb3->setObjectName(QStringLiteral("rb3"));
  lv11 = new QListWidget(side);
  lv11->setObjectName(QStringLiteral("lv11"));
  lv11->setFixedHeight(48);
  lv11->setSelectionMode(QAbstractItemView::NoSelection);
  mmo5 = new QPlainTextEdit(side);
  mmo5->setObjectName(QStringLiteral("mmo5"));
  mmo5->setReadOnly(true);
  mmo5->setFixedHeight(100);
  mmo5->setPlainText(
      QStringLiteral("先选中预览通讯录、预览通\n话记录、预览短信中的任意\n"
                     "一项，再选中点击加载到预\n览按钮。"));
  btn24 = MakeButton(side, "btn24", QStringLiteral("点击加载到预览"));
  btnRawResults = MakeButton(side, "btnRawResults", QStringLiteral("原始结果"));
  for (QWidget* widget :
       std::initializer_list<QWidget*>{rb1, rb2, rb3, lv11, mmo5, btn24, btnRawResults}) {
    layout->addWidget(widget);
  }
  layout->addStretch();
  return side;
}

void TForm1::setPreviewColumns(const std::vector<PreviewColumn>& columns) {
  normalModel_->setColumns(columns);
  deletedModel_->setColumns(columns);
  for (QTableView* list : {lv9, lv12}) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      list->horizontalHeader()->resizeSection(static_cast<int>(i), columns[i].width);
    }
  }
}

// Once per preview, not per row: the first screenful decides, the widths
// given for the kind are the least. Both lists have the same room, but only
// the one on the shown tab has been laid out.
void TForm1::fitPreviewColumns() {
  const int rows = std::max(RowsPerScreen(lv9), RowsPerScreen(lv12));
  for (QTableView* list : {lv9, lv12}) {
    for (int column = 0; column < list->model()->columnCount(); ++column) {
      WidenColumnToFit(list, list->horizontalHeader(), column, 0, rows);
    }
  }
}

PreviewModel& TForm1::previewModel(PreviewList list) {
  return list == PreviewList::kNormal ? *normalModel_ : *deletedModel_;
}

void TForm1::btn24Click() {
  normalModel_->clearAll();
  deletedModel_->clearAll();
  const std::optional<PreviewKind> kind = checkedPreviewKind();
  const ResultTables& tables = peers_.form5->tables();
  if (const auto refusal = PreviewRefusal(kind, tables)) {
    ShowMessageBox(ToRequest(*refusal));
    return;
  }
  shownKind_ = kind;
  // One preview at a time: two would fill the same lists.
  btn24->setEnabled(false);
  startWorker([kind = *kind, &tables, views = views_.get()] { TYuLan(kind, tables, *views).run(); },
              [this] {
                btn24->setEnabled(true);
                finishProgress(true);
                fitPreviewColumns();
              });
}

std::optional<PreviewKind> TForm1::checkedPreviewKind() const {
  if (rb1->isChecked()) return PreviewKind::kContacts;
  if (rb2->isChecked()) return PreviewKind::kCalls;
  if (rb3->isChecked()) return PreviewKind::kMessages;
  return std::nullopt;
}

void TForm1::N2Click() { savePreview(PreviewList::kNormal); }

void TForm1::MenuItem1Click() { savePreview(PreviewList::kDeleted); }

void TForm1::savePreview(PreviewList list) {
  // An empty list is refused before the user is asked for a file name.
  ListSnapshot rows = previewModel(list).snapshot();
  if (rows.rows.empty()) {
    ShowMessageBox(QStringLiteral("预览结果为空无法保存!"));
    return;
  }
  // The lists hold what was last previewed, whatever the buttons say now.
  const PreviewKind kind =
      shownKind_ ? *shownKind_ : checkedPreviewKind().value_or(PreviewKind::kContacts);
  const QString deleted = list == PreviewList::kDeleted ? QStringLiteral("删除-") : QString();
  dlgSave2.fileName = QStringLiteral("ORV-") + KindWord(kind) + "-" + deleted +
                      ToQt(FormatFileStamp(Now())) + ".csv";
  if (!RunFileDialog(dlgSave2)) return;  // cancelled: nothing is written
  if (dlgSave2.fileName.isEmpty()) {
    ShowMessageBox(QStringLiteral("保存路径不能为空，请重新设置!"));
    return;
  }
  auto written = std::make_shared<bool>(false);
  startWorker(
      [rows = std::move(rows), name = FromQt(dlgSave2.fileName), kind, views = views_.get(),
       written]() mutable {
        *written = Tsave(std::move(rows), name, kind, kUserFileEncoding, *views).run();
      },
      [this, written] { finishProgress(*written); });
}

void TForm1::k(int column) { sortPreview(*normalModel_, column); }

void TForm1::lv12ColumnClick(int column) { sortPreview(*deletedModel_, column); }

void TForm1::sortPreview(PreviewModel& model, int column) {
  // The first click sorts descending; the one direction serves both lists.
  model.sortByColumn(column, previewSortAscending_);
  previewSortAscending_ = !previewSortAscending_;
}

// Rows 0, 2, 4 ... light blue, rows 1, 3, 5 ... white.
QColor TForm1::lv9CustomDrawItem(int row) {
  return row % 2 == 0 ? QColor(166, 202, 240) : QColor(Qt::white);
}

void TForm1::btnRawResultsClick() {
  peers_.form5->show();
  peers_.form5->raise();
}

}  // namespace orv
