#pragma once
// What record assembly produces before display: the entries of the normal and
// the deleted list, each sorted and free of duplicates.

#include <functional>
#include <string>
#include <string_view>

#include "results/list_order.h"
#include "scan/result_tables.h"

namespace orv {

struct PreviewEntries {
  SortedEntryList normal;
  SortedEntryList deleted;

  // The list a record with raw id `id` belongs to: "-1" marks a record carved
  // from deleted space.
  SortedEntryList& listFor(std::string_view id) { return id == "-1" ? deleted : normal; }
};

// Told the index of each raw row as assembly reads it (for a gauge).
using RowProgress = std::function<void(std::size_t rowIndex)>;

// A cell of a raw row, empty when the row is shorter.
inline const std::string& CellOf(const TableRow& row, std::size_t column) {
  static const std::string kEmpty;
  return column < row.size() ? row[column] : kEmpty;
}

}  // namespace orv
