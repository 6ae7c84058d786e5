#include "app/log_model.h"

#include "app/qt_text.h"

namespace orv {

void LogModel::append(const LogLine& line) {
  const int row = static_cast<int>(lines_.size());
  beginInsertRows({}, row, row);
  lines_.push_back(line);
  endInsertRows();
}

void LogModel::clear() {
  beginResetModel();
  lines_.clear();
  endResetModel();
}

int LogModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int LogModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant LogModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const LogLine& line = lines_.at(static_cast<std::size_t>(index.row()));
  switch (index.column()) {
    case 0:
      return ToQt(line.time);
    case 1:
      return ToQt(line.type);
    default:
      return ToQt(line.description);
  }
}

QVariant LogModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kCaptions[] = {"时间", "类型", "描述"};
  return section >= 0 && section < 3 ? QString::fromUtf8(kCaptions[section]) : QVariant();
}

}  // namespace orv
