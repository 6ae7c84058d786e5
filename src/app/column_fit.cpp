#include "app/column_fit.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <algorithm>

namespace orv {
namespace {

// The grid line a table draws at the right edge of every cell.
constexpr int kGridLine = 1;

}  // namespace

int RowsPerScreen(const QAbstractItemView* view) {
  const QAbstractItemModel* model = view->model();
  const int rowHeight = model && model->rowCount() > 0 ? std::max(1, view->sizeHintForRow(0))
                                                       : std::max(1, view->fontMetrics().height());
  return std::max(1, view->viewport()->height() / rowHeight + 1);
}

void WidenColumnToFit(QAbstractItemView* view, QHeaderView* header, int column, int firstRow,
                      int rowCount) {
  const QAbstractItemModel* model = view->model();
  if (!model || column < 0 || column >= model->columnCount()) return;
  int width = std::max(header->sectionSize(column), header->sectionSizeHint(column));
  const int end = std::min(model->rowCount(), firstRow + rowCount);
  for (int row = std::max(0, firstRow); row < end; ++row) {
    width = std::max(width, view->sizeHintForIndex(model->index(row, column)).width() + kGridLine);
  }
  if (width > header->sectionSize(column)) header->resizeSection(column, width);
}

}  // namespace orv
