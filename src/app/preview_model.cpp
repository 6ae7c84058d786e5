#include "app/preview_model.h"

#include <algorithm>
#include <optional>
#include <string>

#include "app/qt_text.h"
#include "results/list_order.h"

namespace orv {

PreviewModel::PreviewModel(QIcon rowIcon, QObject* parent)
    : QAbstractTableModel(parent), rowIcon_(std::move(rowIcon)) {}

void PreviewModel::clearAll() {
  beginResetModel();
  rows_.clear();
  columns_.clear();
  endResetModel();
}

void PreviewModel::clearRows() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

void PreviewModel::setColumns(std::vector<PreviewColumn> columns) {
  beginResetModel();
  columns_ = std::move(columns);
  endResetModel();
}

void PreviewModel::appendRows(std::vector<ListRow> rows) {
  if (rows.empty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
  std::move(rows.begin(), rows.end(), std::back_inserter(rows_));
  endInsertRows();
}

void PreviewModel::sortByColumn(int column, bool ascending) {
  const auto cell = static_cast<std::size_t>(column);
  const ColumnOrder order = cell < columns_.size() ? columns_[cell].order : ColumnOrder::kText;
  emit layoutAboutToBeChanged();
  // Each key is made once; comparing the made keys is a plain byte compare.
  struct Keyed {
    std::optional<std::string> key;  // none: the row has no such cell
    ListRow row;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(rows_.size());
  for (ListRow& row : rows_) {
    std::optional<std::string> key;
    if (cell < row.size()) key = ColumnOrderKey(row[cell], order);
    keyed.push_back({std::move(key), std::move(row)});
  }
  std::stable_sort(keyed.begin(), keyed.end(), [ascending](const Keyed& a, const Keyed& b) {
    if (!a.key || !b.key) return false;
    return ascending ? *a.key < *b.key : *b.key < *a.key;
  });
  for (std::size_t i = 0; i < keyed.size(); ++i) rows_[i] = std::move(keyed[i].row);
  emit layoutChanged();
}

ListSnapshot PreviewModel::snapshot() const { return {columns_.size(), rows_}; }

int PreviewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
  const ListRow& row = rows_.at(static_cast<std::size_t>(index.row()));
  const auto cell = static_cast<std::size_t>(index.column());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return cell < row.size() ? ToQt(row[cell]) : QString();
    case Qt::DecorationRole:
      return index.column() == 0 ? QVariant(rowIcon_) : QVariant();
    case Qt::BackgroundRole:
      return rowColour_ ? QVariant(rowColour_(index.row())) : QVariant();
    default:
      return {};
  }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 ||
      section >= static_cast<int>(columns_.size())) {
    return {};
  }
  const PreviewColumn& column = columns_[static_cast<std::size_t>(section)];
  return role == Qt::DisplayRole ? QVariant(ToQt(column.caption)) : QVariant();
}

}  // namespace orv
