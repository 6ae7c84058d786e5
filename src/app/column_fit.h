#pragma once
// Columns wide enough for what they show: a column keeps at least its given
// width and is widened to fit its header and the cells the user sees first,
// measured as the view's delegate draws them. UI thread only.

class QAbstractItemView;
class QHeaderView;

namespace orv {

// The number of rows `view` shows at its current height (at least one).
int RowsPerScreen(const QAbstractItemView* view);

// Widens `column` of `view`, whose header is `header`, to fit the header and
// the cells of rows [firstRow, firstRow + rowCount); never narrows it.
void WidenColumnToFit(QAbstractItemView* view, QHeaderView* header, int column, int firstRow,
                      int rowCount);

}  // namespace orv
