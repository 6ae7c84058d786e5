#pragma once
// The rows of the activity log lv4: time, type, description. Rows are only
// appended. UI thread only.

#include <QAbstractTableModel>
#include <vector>

#include "platform/log_line.h"

namespace orv {

class LogModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  void append(const LogLine& line);
  void clear();
  const std::vector<LogLine>& lines() const { return lines_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<LogLine> lines_;
};

}  // namespace orv
