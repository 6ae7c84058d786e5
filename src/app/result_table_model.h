#pragma once
// One of the scan's result tables as a table model. The scan appends rows from
// its own thread; the model follows in batches: refresh() (called by a timer
// on the UI thread) compares the store's version with the one last shown and
// resets the model when it changed. Cells are fetched when the view asks for
// them, so a refresh costs the same for ten rows as for a million.

#include <QAbstractTableModel>
#include <cstdint>
#include <set>
#include <unordered_map>

#include "scan/result_tables.h"

namespace orv {

class ResultTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ResultTableModel(const ResultTables& tables, ResultTable table, QObject* parent);

  // Shows the store's current rows when they changed since the last call.
  void refresh();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const TableRow& cachedRow(int row) const;

  const ResultTables& tables_;
  ResultTable table_;
  std::uint64_t shownVersion_ = 0;
  int shownRows_ = 0;
  std::set<int> checked_;  // rows whose check box is ticked
  mutable std::unordered_map<int, TableRow> cache_;
};

}  // namespace orv
