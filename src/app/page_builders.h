#pragma once
// Small makers of the controls the windows are built from, so that every page
// sets them up alike. Each names the control after the form designer's name.

#include <QString>
#include <QStringList>
#include <initializer_list>

class QBoxLayout;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;
class QTreeWidget;
class QWidget;

namespace orv {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption);

// A one-line list holding a hint with the hint picture (filled at start-up).
QListWidget* MakeHintList(QWidget* parent, const char* name);

// A report-style list (grid lines, whole-row and multiple selection).
QTableView* MakeReportTable(QWidget* parent, const char* name);

// A tree-style list with the given column captions.
QTreeWidget* MakeColumnList(QWidget* parent, const char* name, const QStringList& columns);

// A labelled edit: the caption above the edit; both go into `layout`.
QLineEdit* MakeLabeledEdit(QWidget* parent, QBoxLayout* layout, const char* name,
                           const QString& caption, bool readOnly);

// A group of fixed help text, one label line per entry (an empty entry leaves
// a gap).
QGroupBox* MakeTextGroup(QWidget* parent, const QString& title, const QStringList& lines);

// A group around one widget.
QGroupBox* MakeGroup(QWidget* parent, const QString& title, QWidget* content);

// The bottom row of a wizard page: the hint list, then the buttons.
QWidget* MakeBottomRow(QWidget* parent, QListWidget* hint,
                       std::initializer_list<QPushButton*> buttons);

}  // namespace orv
