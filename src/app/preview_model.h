#pragma once
// The rows of a preview list (lv9 "正常" or lv12 "删除"): the columns record
// assembly gives, rows appended in batches, every row marked by the list's
// picture. The rows keep the order the user last sorted them in, which is the
// order they are saved in. UI thread only.

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <functional>
#include <vector>

#include "results/list_snapshot.h"
#include "results/preview_kind.h"

namespace orv {

class PreviewModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  PreviewModel(QIcon rowIcon, QObject* parent);

  // Paints row backgrounds; none keeps the view's own colours.
  void setRowColour(std::function<QColor(int row)> colour) { rowColour_ = std::move(colour); }

  void clearAll();  // rows and columns
  void clearRows();
  void setColumns(std::vector<PreviewColumn> columns);
  void appendRows(std::vector<ListRow> rows);

  // Sorts by a column in the column's order (text, whole numbers or dates;
  // column 0 the row captions); descending unless `ascending`. A row without
  // the cell compares equal.
  void sortByColumn(int column, bool ascending);

  const std::vector<PreviewColumn>& columns() const { return columns_; }
  // The list as shown, for saving.
  ListSnapshot snapshot() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QIcon rowIcon_;
  std::function<QColor(int)> rowColour_;
  std::vector<PreviewColumn> columns_;
  std::vector<ListRow> rows_;
};

}  // namespace orv
