#include "app/page_builders.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>

namespace orv {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setMinimumWidth(80);
  return button;
}

QListWidget* MakeHintList(QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setFixedHeight(26);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setSelectionMode(QAbstractItemView::NoSelection);
  list->setFocusPolicy(Qt::NoFocus);
  return list;
}

QTableView* MakeReportTable(QWidget* parent, const char* name) {
  auto* table = new QTableView(parent);
  table->setObjectName(QString::fromLatin1(name));
  table->setShowGrid(true);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setWordWrap(false);
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(20);
  table->horizontalHeader()->setSectionsClickable(true);
  table->horizontalHeader()->setHighlightSections(false);
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table->setContextMenuPolicy(Qt::CustomContextMenu);
  return table;
}

QTreeWidget* MakeColumnList(QWidget* parent, const char* name, const QStringList& columns) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setRootIsDecorated(false);
  list->setColumnCount(static_cast<int>(columns.size()));
  list->setHeaderLabels(columns);
  return list;
}

QLineEdit* MakeLabeledEdit(QWidget* parent, QBoxLayout* layout, const char* name,
                           const QString& caption, bool readOnly) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setReadOnly(readOnly);
  auto* label = new QLabel(caption, parent);
  label->setBuddy(edit);
  layout->addWidget(label);
  layout->addWidget(edit, 1);
  return edit;
}

QGroupBox* MakeTextGroup(QWidget* parent, const QString& title, const QStringList& lines) {
  auto* group = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(group);
  layout->setSpacing(2);
  for (const QString& line : lines) {
    auto* label = new QLabel(line, group);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
  }
  layout->addStretch();
  return group;
}

QGroupBox* MakeGroup(QWidget* parent, const QString& title, QWidget* content) {
  auto* group = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(4, 4, 4, 4);
  content->setParent(group);
  layout->addWidget(content);
  return group;
}

QWidget* MakeBottomRow(QWidget* parent, QListWidget* hint,
                       std::initializer_list<QPushButton*> buttons) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  hint->setParent(row);
  layout->addWidget(hint, 1);
  for (QPushButton* button : buttons) {
    button->setParent(row);
    layout->addWidget(button);
  }
  return row;
}

}  // namespace orv
