#pragma once
// The raw-results window: holds the scan's result tables (the hand-over
// between the scan and record assembly) and shows them as five lists that can
// be sorted by a column and exported as text.

#include <QWidget>
#include <array>

#include "app/desktop.h"
#include "app/gui_messages.h"
#include "scan/result_tables.h"

class QAction;
class QMenu;
class QTableView;
class QTimer;

namespace orv {

class ResultTableModel;
class WorkerThreads;

class TForm5 : public QWidget {
  Q_OBJECT

 public:
  TForm5();
  ~TForm5() override;

  ResultTables& tables() { return tables_; }
  // Brings the lists up to date with the store (a timer does this too).
  void refreshLists();

  void lv1ColumnClick(int column);
  void lv3ColumnClick(int column);
  void lv4ColumnClick(int column);
  void lv5ColumnClick(int column);
  void N1Click();
  void Fuck11Click();
  void Fuck21Click();
  void Fuck31Click();

  QTableView* lv1;             // DB-Result
  QTableView* lv2;             // Photo-Result
  QTableView* lv3;             // Fuck1: contacts data
  QTableView* lv4;             // Fuck2: calls
  QTableView* lv5;             // Fuck3: messages
  QMenu* pm1;                  // export menu of the lists
  QAction* N1;                 // "保存当前内容DB-Result[测试]"
  QAction* Fuck11;             // "保存当前内容Fuck1[测试]"
  QAction* Fuck21;             // "保存当前内容Fuck2[测试]"
  QAction* Fuck31;             // "保存当前内容Fuck3[测试]"
  FileDialogRequest dlgSave1;  // export file

 private:
  QTableView* makeList(const char* name, ResultTable table);
  void buildLayout();
  void buildMenu();
  void sortList(ResultTable table, int column, bool flipDirection);
  void exportTable(ResultTable table, const QString& prefix);

  ResultTables tables_;
  std::array<ResultTableModel*, kResultTableCount> models_{};
  QTimer* refreshTimer_;
  bool sortAscending_ = false;  // shared by the lists; cleared: descending
  GuiMessageView messages_{this};
  WorkerThreads* workers_;
};

}  // namespace orv
