#include "scan/result_tables.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "scan/record_tests.h"

namespace orv {

const std::vector<std::string_view>& ResultTableColumns(ResultTable table) {
  static const std::vector<std::string_view> kColumns[kResultTableCount] = {
      {"SN", "Start-Offset", "ZD-Type", "ZD-cnt", "End-Offset", "File-Len", "Flag", "PageType",
       "ZDCNT", "CNTType"},
      {"SN", "Start-Offset", "Photo-Flag", "End-Offset", "File-Len"},
      {"SN", "ID", "mimetype_id", "[raw_contact_id]", "Data1", "flag", "DataResultNum", "DEL"},
      {"SN", "ID", "Tel1", "Data", "SMSType", "duration", "DEL", "Type", "name", "Flag",
       "DB-ResultNum"},
      {"SN", "ID", "Tel1", "Data", "SMSType", "duration", "Body", "Type", "DEL", "Flag",
       "DB-ResultNum"},
  };
  return kColumns[static_cast<int>(table)];
}

std::string_view ResultTableCaption(ResultTable table) {
  switch (table) {
    case ResultTable::kDbResult:
      return "DB-Result";
    case ResultTable::kPhotoResult:
      return "Photo-Result";
    case ResultTable::kFuck1:
      return "Fuck1";
    case ResultTable::kFuck2:
      return "Fuck2";
    case ResultTable::kFuck3:
      return "Photo-Result";  // Fuck3 shares the Photo-Result group
  }
  return {};
}

std::size_t DeletedColumn(ResultTable table) {
  switch (table) {
    case ResultTable::kFuck1:
      return fuck1::kDel;
    case ResultTable::kFuck2:
      return fuck2::kDel;
    case ResultTable::kFuck3:
      return fuck3::kDel;
    default:
      return 0;
  }
}

TableRow RowView::toRow() const {
  TableRow row;
  row.reserve(size());
  for (std::size_t c = 0; c < size(); ++c) row.emplace_back((*this)[c]);
  return row;
}

namespace {

// The widest table has eleven columns.
constexpr std::size_t kMaxColumns = 11;
using RowCells = std::array<std::string_view, kMaxColumns>;

// A walk takes this many rows, or about this many bytes, per hold of the lock.
constexpr std::size_t kWalkBatchRows = 256;
constexpr std::size_t kWalkBatchBytes = 64 * 1024;

std::span<std::string_view> CellsOf(RowCells& cells, const CompactRows& rows) {
  return std::span(cells).first(rows.columns());
}

// Puts `rows` in the order of their keys, each made once per row:
// keyOf(row, index) makes a key that holds the row's index in `row`;
// sortKeys(keys) orders them.
template <class Key, class KeyOf, class SortKeys>
void SortRows(CompactRows& rows, const KeyOf& keyOf, const SortKeys& sortKeys) {
  std::vector<Key> keys;
  keys.reserve(rows.size());
  RowCells cells;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows.read(i, CellsOf(cells, rows));
    keys.push_back(keyOf(RowView(CellsOf(cells, rows)), static_cast<std::uint32_t>(i)));
  }
  sortKeys(keys);
  std::vector<std::size_t> order;
  order.reserve(keys.size());
  for (const Key& key : keys) order.push_back(key.row);
  keys = {};
  rows.reorder(order);
}

}  // namespace

std::int64_t ResultTables::append(ResultTable table, std::vector<std::string> cells) {
  std::int64_t serial;
  {
    std::lock_guard lock(mutex_);
    CompactRows& rows = tableOf(table).rows;
    serial = static_cast<std::int64_t>(rows.size()) + 1;
    const std::string sn = std::to_string(serial);
    RowCells views;
    views[0] = sn;
    const std::size_t count = std::min(cells.size() + 1, rows.columns());
    for (std::size_t c = 1; c < count; ++c) views[c] = cells[c - 1];
    rows.append(std::span(views).first(count));
  }
  changed();
  return serial;
}

std::size_t ResultTables::rowCount(ResultTable table) const {
  std::lock_guard lock(mutex_);
  return tableOf(table).rows.size();
}

TableRow ResultTables::row(ResultTable table, std::size_t index) const {
  std::lock_guard lock(mutex_);
  const CompactRows& rows = tableOf(table).rows;
  if (index >= rows.size()) return {};
  RowCells cells;
  rows.read(index, CellsOf(cells, rows));
  return RowView(CellsOf(cells, rows)).toRow();
}

std::vector<TableRow> ResultTables::rows(ResultTable table) const {
  std::lock_guard lock(mutex_);
  const CompactRows& rows = tableOf(table).rows;
  std::vector<TableRow> copy;
  copy.reserve(rows.size());
  RowCells cells;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows.read(i, CellsOf(cells, rows));
    copy.push_back(RowView(CellsOf(cells, rows)).toRow());
  }
  return copy;
}

bool ResultTables::forEachRow(ResultTable table,
                              const std::function<bool(const RowView&)>& visit) const {
  const std::size_t columns = ResultTableColumns(table).size();
  std::string batch;
  std::vector<std::size_t> ends;  // where each row of the batch ends in it
  std::size_t next = 0;
  std::size_t total = 0;
  std::uint64_t reshapes = 0;
  RowCells cells;
  for (bool first = true;; first = false) {
    batch.clear();
    ends.clear();
    {
      std::lock_guard lock(mutex_);
      const Table& held = tableOf(table);
      if (first) {
        total = held.rows.size();
        reshapes = held.reshapes;
      } else if (held.reshapes != reshapes) {
        return false;
      }
      while (next < total && ends.size() < kWalkBatchRows && batch.size() < kWalkBatchBytes) {
        batch += held.rows.encoded(next++);
        ends.push_back(batch.size());
      }
    }
    if (ends.empty()) return true;
    std::size_t begin = 0;
    for (const std::size_t end : ends) {
      const auto rowCells = std::span(cells).first(columns);
      CompactRows::Decode(std::string_view(batch).substr(begin, end - begin), rowCells);
      if (!visit(RowView(rowCells))) return false;
      begin = end;
    }
  }
}

void ResultTables::clear(ResultTable table) {
  {
    std::lock_guard lock(mutex_);
    Table& held = tableOf(table);
    held.rows.clear();
    ++held.reshapes;
  }
  changed();
}

void ResultTables::clearAll() {
  {
    std::lock_guard lock(mutex_);
    for (Table& held : tables_) {
      held.rows.clear();
      ++held.reshapes;
    }
  }
  changed();
}

void ResultTables::sortByIntegerColumn(ResultTable table, std::size_t column,
                                       std::size_t tieColumn) {
  struct Key {
    std::int64_t value;
    std::int64_t tie;
    std::uint32_t row;
    bool converts;  // whether the cell reads as a number
  };
  auto keyOf = [&](const RowView& row, std::uint32_t index) {
    const auto value = ParseInt64(row[column]);
    const auto tie = ParseInt64(row[tieColumn]);
    return Key{value.value_or(0), tie && *tie != -1 ? *tie : INT64_MAX, index, value.has_value()};
  };
  auto sortKeys = [](std::vector<Key>& keys) {
    // Rows whose key does not convert compare equal to all others, which is no
    // strict weak order; keep them where they stand and sort each run of
    // convertible keys between them on its own.
    auto begin = keys.begin();
    while (begin != keys.end()) {
      begin = std::find_if(begin, keys.end(), [](const Key& k) { return k.converts; });
      const auto end = std::find_if(begin, keys.end(), [](const Key& k) { return !k.converts; });
      std::stable_sort(begin, end, [](const Key& a, const Key& b) {
        return a.value != b.value ? a.value < b.value : a.tie < b.tie;
      });
      begin = end;
    }
  };
  {
    std::lock_guard lock(mutex_);
    Table& held = tableOf(table);
    SortRows<Key>(held.rows, keyOf, sortKeys);
    ++held.reshapes;
  }
  changed();
}

void ResultTables::sortByTextColumn(ResultTable table, std::size_t column, bool ascending) {
  struct Key {
    std::string_view cell;
    std::uint32_t row;
  };
  auto keyOf = [&](const RowView& row, std::uint32_t index) { return Key{row[column], index}; };
  // The cells compare as their bytes would after lower-casing each one.
  auto less = [](std::string_view a, std::string_view b) {
    auto folded = [](char c) {
      return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return folded(x) < folded(y); });
  };
  auto sortKeys = [&](std::vector<Key>& keys) {
    std::stable_sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
      return ascending ? less(a.cell, b.cell) : less(b.cell, a.cell);
    });
  };
  {
    std::lock_guard lock(mutex_);
    Table& held = tableOf(table);
    SortRows<Key>(held.rows, keyOf, sortKeys);
    ++held.reshapes;
  }
  changed();
}

std::size_t ResultTables::markRows(ResultTable table, std::size_t column, std::string_view mark,
                                   const std::function<bool(const RowView&)>& which) {
  std::size_t marked = 0;
  {
    std::lock_guard lock(mutex_);
    CompactRows& rows = tableOf(table).rows;
    if (column >= rows.columns()) return 0;
    RowCells cells;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      rows.read(i, CellsOf(cells, rows));
      if (!which(RowView(CellsOf(cells, rows)))) continue;
      // The other cells still view the row's old bytes, which stay until compaction.
      cells[column] = mark;
      rows.replace(i, CellsOf(cells, rows));
      ++marked;
    }
    rows.compactIfWasteful();
  }
  if (marked != 0) changed();
  return marked;
}

std::size_t ResultTables::keepRows(Table& held, const std::function<bool(TableRow&)>& keep) {
  CompactRows& rows = held.rows;
  std::vector<bool> removed(rows.size());
  RowCells cells;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows.read(i, CellsOf(cells, rows));
    const RowView before(CellsOf(cells, rows));
    TableRow row = before.toRow();
    if (!keep(row)) {
      removed[i] = true;
    } else if (!std::equal(row.begin(), row.end(), CellsOf(cells, rows).begin(),
                           CellsOf(cells, rows).end())) {
      std::vector<std::string_view> edited(row.begin(), row.end());
      rows.replace(i, edited);
    }
  }
  const std::size_t count = rows.remove(removed);
  if (count != 0) ++held.reshapes;
  rows.compactIfWasteful();
  return count;
}

std::size_t ResultTables::editRows(ResultTable table, const std::function<bool(TableRow&)>& keep) {
  std::size_t removed = 0;
  {
    std::lock_guard lock(mutex_);
    removed = keepRows(tableOf(table), keep);
  }
  changed();
  return removed;
}

void ResultTables::purgeFuck1() {
  {
    std::lock_guard lock(mutex_);
    keepRows(tableOf(ResultTable::kFuck1), [](const TableRow& row) {
      return row[fuck1::kFlag] == "Name" || row[fuck1::kFlag] == "Tel";
    });
  }
  changed();
}

}  // namespace orv
