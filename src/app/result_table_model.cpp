#include "app/result_table_model.h"

#include "app/qt_text.h"

namespace orv {
namespace {

// Rows kept between paints; a view shows a few dozen at a time.
constexpr std::size_t kCachedRows = 512;

}  // namespace

ResultTableModel::ResultTableModel(const ResultTables& tables, ResultTable table, QObject* parent)
    : QAbstractTableModel(parent), tables_(tables), table_(table) {
  refresh();
}

void ResultTableModel::refresh() {
  const std::uint64_t version = tables_.version();
  if (version == shownVersion_ && shownRows_ == static_cast<int>(tables_.rowCount(table_))) return;
  beginResetModel();
  shownVersion_ = version;
  shownRows_ = static_cast<int>(tables_.rowCount(table_));
  checked_.clear();
  cache_.clear();
  endResetModel();
}

const TableRow& ResultTableModel::cachedRow(int row) const {
  auto found = cache_.find(row);
  if (found != cache_.end()) return found->second;
  if (cache_.size() >= kCachedRows) cache_.clear();
  // A row the store no longer has (cleared since the last refresh) reads empty.
  return cache_.emplace(row, tables_.row(table_, static_cast<std::size_t>(row))).first->second;
}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ResultTableColumns(table_).size());
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::CheckStateRole && index.column() == 0) {
    return checked_.contains(index.row()) ? Qt::Checked : Qt::Unchecked;
  }
  if (role != Qt::DisplayRole) return {};
  const TableRow& row = cachedRow(index.row());
  const auto cell = static_cast<std::size_t>(index.column());
  return cell < row.size() ? ToQt(row[cell]) : QString();
}

bool ResultTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || index.column() != 0) return false;
  if (value.toInt() == Qt::Checked) {
    checked_.insert(index.row());
  } else {
    checked_.erase(index.row());
  }
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  const auto& columns = ResultTableColumns(table_);
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= static_cast<int>(columns.size())) {
    return {};
  }
  return ToQt(std::string(columns[static_cast<std::size_t>(section)]));
}

}  // namespace orv
