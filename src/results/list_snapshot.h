#pragma once
// The contents of a report-style list as plain data: what the list writers
// read and what record assembly produces for display.

#include <string>
#include <vector>

#include "platform/log_line.h"
#include "scan/result_tables.h"

namespace orv {

// One row: cell 0 is the row's caption, the others its sub-items in column
// order.
using ListRow = std::vector<std::string>;

struct ListSnapshot {
  std::size_t columnCount = 0;  // caption column included
  std::vector<ListRow> rows;
};

// The activity log: time, type, description.
ListSnapshot LogSnapshot(const std::vector<LogLine>& lines);

}  // namespace orv
