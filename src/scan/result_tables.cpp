#include "scan/result_tables.h"

#include <algorithm>
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

std::int64_t ResultTables::append(ResultTable table, std::vector<std::string> cells) {
  std::int64_t serial;
  {
    std::lock_guard lock(mutex_);
    auto& rows = tableOf(table);
    serial = static_cast<std::int64_t>(rows.size()) + 1;
    cells.resize(ResultTableColumns(table).size() - 1);
    cells.insert(cells.begin(), std::to_string(serial));
    rows.push_back(std::move(cells));
  }
  changed();
  return serial;
}

std::size_t ResultTables::rowCount(ResultTable table) const {
  std::lock_guard lock(mutex_);
  return tableOf(table).size();
}

TableRow ResultTables::row(ResultTable table, std::size_t index) const {
  std::lock_guard lock(mutex_);
  const auto& rows = tableOf(table);
  return index < rows.size() ? rows[index] : TableRow{};
}

std::vector<TableRow> ResultTables::rows(ResultTable table) const {
  std::lock_guard lock(mutex_);
  return tableOf(table);
}

void ResultTables::clear(ResultTable table) {
  {
    std::lock_guard lock(mutex_);
    tableOf(table).clear();
  }
  changed();
}

void ResultTables::clearAll() {
  {
    std::lock_guard lock(mutex_);
    for (auto& rows : tables_) rows.clear();
  }
  changed();
}

void ResultTables::sortByIntegerColumn(ResultTable table, std::size_t column,
                                       std::size_t tieColumn) {
  auto numberAt = [](const TableRow& row, std::size_t at) {
    return at < row.size() ? ParseInt64(row[at]) : std::nullopt;
  };
  {
    std::lock_guard lock(mutex_);
    auto& rows = tableOf(table);
    // The keys are read once per row, not once per comparison.
    struct Key {
      std::optional<std::int64_t> value;
      std::int64_t tie;
      std::size_t row;
    };
    std::vector<Key> keys;
    keys.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const auto tie = numberAt(rows[i], tieColumn);
      keys.push_back({numberAt(rows[i], column), tie && *tie != -1 ? *tie : INT64_MAX, i});
    }
    // Rows whose key does not convert compare equal to all others, which is no
    // strict weak order; keep them where they stand and sort each run of
    // convertible keys between them on its own.
    auto begin = keys.begin();
    while (begin != keys.end()) {
      begin = std::find_if(begin, keys.end(), [](const Key& k) { return k.value.has_value(); });
      const auto end =
          std::find_if(begin, keys.end(), [](const Key& k) { return !k.value.has_value(); });
      std::stable_sort(begin, end, [](const Key& a, const Key& b) {
        return *a.value != *b.value ? *a.value < *b.value : a.tie < b.tie;
      });
      begin = end;
    }
    std::vector<TableRow> sorted;
    sorted.reserve(rows.size());
    for (const Key& key : keys) sorted.push_back(std::move(rows[key.row]));
    rows = std::move(sorted);
  }
  changed();
}

void ResultTables::sortByTextColumn(ResultTable table, std::size_t column, bool ascending) {
  auto folded = [](const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  {
    std::lock_guard lock(mutex_);
    auto& rows = tableOf(table);
    std::stable_sort(rows.begin(), rows.end(), [&](const TableRow& a, const TableRow& b) {
      const std::string ka = column < a.size() ? folded(a[column]) : std::string();
      const std::string kb = column < b.size() ? folded(b[column]) : std::string();
      return ascending ? ka < kb : kb < ka;
    });
  }
  changed();
}

std::size_t ResultTables::markRows(ResultTable table, std::size_t column, std::string_view mark,
                                   const std::function<bool(const TableRow&)>& which) {
  std::size_t marked = 0;
  {
    std::lock_guard lock(mutex_);
    for (TableRow& row : tableOf(table)) {
      if (column >= row.size() || !which(row)) continue;
      row[column] = mark;
      ++marked;
    }
  }
  if (marked != 0) changed();
  return marked;
}

std::size_t ResultTables::editRows(ResultTable table, const std::function<bool(TableRow&)>& keep) {
  std::size_t removed = 0;
  {
    std::lock_guard lock(mutex_);
    removed = std::erase_if(tableOf(table), [&](TableRow& row) { return !keep(row); });
  }
  changed();
  return removed;
}

void ResultTables::purgeFuck1() {
  {
    std::lock_guard lock(mutex_);
    auto& rows = tableOf(ResultTable::kFuck1);
    std::erase_if(rows, [](const TableRow& row) {
      return row[fuck1::kFlag] != "Name" && row[fuck1::kFlag] != "Tel";
    });
  }
  changed();
}

}  // namespace orv
