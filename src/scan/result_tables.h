#pragma once
// The scan's intermediate result tables: DB-Result (recognised pages),
// Photo-Result (never filled), Fuck1 (contacts data), Fuck2 (call log) and
// Fuck3 (messages). They are the hand-over between the scan engine, which
// appends rows, and record assembly, the raw-results window and the
// command-line scanner, which read them. Every cell is text; column 0 of every
// row is its SN.
//
// Rows are held compactly (see CompactRows): readers that walk a table take
// it row by row with forEachRow() rather than as a copy.
//
// Thread-safe: any thread may append, read or clear. `version()` changes with
// every change, so a window can refresh in batches instead of per row.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scan/compact_rows.h"

namespace orv {

enum class ResultTable {
  kDbResult,
  kPhotoResult,  // never filled: no scan produces photos; the raw-results window shows it empty
  kFuck1,
  kFuck2,
  kFuck3
};
inline constexpr int kResultTableCount = 5;

using TableRow = std::vector<std::string>;

// The cells of one row, SN first, read in place: from a table while a walk
// hands the row to its visitor, or from a TableRow. Only valid while what it
// views is; a cell past the row's end reads empty.
class RowView {
 public:
  RowView(std::span<const std::string_view> cells) : cells_(cells) {}
  RowView(const TableRow& row) : row_(&row) {}

  std::size_t size() const { return row_ ? row_->size() : cells_.size(); }
  std::string_view operator[](std::size_t column) const {
    if (column >= size()) return {};
    return row_ ? std::string_view((*row_)[column]) : cells_[column];
  }
  TableRow toRow() const;

 private:
  std::span<const std::string_view> cells_;
  const TableRow* row_ = nullptr;
};

// Column captions, SN first.
const std::vector<std::string_view>& ResultTableColumns(ResultTable table);
// The group caption the raw-results window shows above the table.
std::string_view ResultTableCaption(ResultTable table);

// Column indexes the engine and record assembly address by name. The names
// say what a column holds; the captions ("ZD-cnt", "ZDCNT") stay as the
// window shows them.
namespace db_result {
enum Column {
  kSn,
  kStartOffset,
  kZdType,
  kColumnCount,  // "ZD-cnt": the page's records' column count
  kEndOffset,
  kFileLen,
  kFlag,
  kPageType,
  kSmsDateColumn,  // "ZDCNT": a messages page's date column index
  kCntType
};
}
namespace fuck1 {
enum Column { kSn, kId, kMimetypeId, kRawContactId, kData1, kFlag, kDataResultNum, kDel };
// The [DEL] mark of a live row of the owner's own card (the profile
// database): kept in the table, never made a contact.
inline constexpr std::string_view kOwnerMark = "Owner";
}  // namespace fuck1
namespace fuck2 {
enum Column {
  kSn,
  kId,
  kTel1,
  kData,
  kSmsType,
  kDuration,
  kDel,
  kType,
  kName,
  kFlag,
  kDbResultNum
};
}
namespace fuck3 {
enum Column {
  kSn,
  kId,
  kTel1,
  kData,
  kSmsType,
  kDuration,
  kBody,
  kType,
  kDel,
  kFlag,
  kDbResultNum
};
}

// Marks of the [DEL] column of Fuck1, Fuck2 and Fuck3: a row carved from
// deleted space, and a carved old copy of a record that is still live (moved
// or rewritten, not deleted), which no list of deleted records shows.
inline constexpr std::string_view kDeletedRowMark = "DEL";
inline constexpr std::string_view kStaleCopyMark = "Stale";
// A row of an older version of a page (a write-ahead log holds a newer one)
// that the newer version does not hold as it is.
inline constexpr std::string_view kHistoryMark = "History";

// Whether a [DEL] mark stands for an old version of a record, which the
// preview lists leave out: their newer version is listed.
inline bool IsOldVersionMark(std::string_view mark) {
  return mark == kStaleCopyMark || mark == kHistoryMark;
}

// The [DEL] column of Fuck1, Fuck2 or Fuck3.
std::size_t DeletedColumn(ResultTable table);

class ResultTables {
 public:
  // Appends a row whose cells after SN are `cells` (one per further column).
  // Its SN is the number of rows the table holds + 1, so the numbers of a
  // table are unique and count up in the order rows were added. Returns it.
  std::int64_t append(ResultTable table, std::vector<std::string> cells);

  std::size_t rowCount(ResultTable table) const;
  // A copy of one row; empty when there is no row `index`.
  TableRow row(ResultTable table, std::size_t index) const;
  // A copy of the whole table, for small tables: walk large ones with
  // forEachRow().
  std::vector<TableRow> rows(ResultTable table) const;

  // Hands the rows the table holds when the walk starts to `visit`, in table
  // order, until it returns false. The tables are not locked while `visit`
  // runs (rows are taken a batch at a time), so it may read, append to or
  // wait on what reads the tables; rows appended meanwhile are not visited.
  // Returns true when every row was visited; false when `visit` stopped the
  // walk or the table was cleared, sorted or lost rows meanwhile (the walk
  // then ends with the batch it was in).
  bool forEachRow(ResultTable table, const std::function<bool(const RowView&)>& visit) const;

  void clear(ResultTable table);
  void clearAll();

  // Sorts ascending by a column read as a 64-bit integer; a cell that does not
  // convert compares equal to everything. Rows with equal keys are ordered by
  // `tieColumn` read the same way, where "-1" (a carved record's id) and a
  // cell that does not convert come last. Stable.
  void sortByIntegerColumn(ResultTable table, std::size_t column, std::size_t tieColumn);
  // Sorts by a column compared as text, ASCII letters folded. Stable.
  void sortByTextColumn(ResultTable table, std::size_t column, bool ascending);
  // `which` and `keep` below run with the tables locked: they must not call
  // into them.
  // Sets `column` of every row `which` picks to `mark`; returns how many.
  std::size_t markRows(ResultTable table, std::size_t column, std::string_view mark,
                       const std::function<bool(const RowView&)>& which);
  // Runs `keep` on every row of `table`, which may change it; removes the rows
  // it returns false for. Returns how many were removed.
  std::size_t editRows(ResultTable table, const std::function<bool(TableRow&)>& keep);
  // Removes every Fuck1 row whose flag is neither "Name" nor "Tel".
  void purgeFuck1();

  std::uint64_t version() const { return version_.load(std::memory_order_acquire); }

 private:
  struct Table {
    explicit Table(ResultTable table) : rows(ResultTableColumns(table).size()) {}
    CompactRows rows;
    // Counts the changes that move or remove rows, which end a walk.
    std::uint64_t reshapes = 0;
  };

  Table& tableOf(ResultTable table) { return tables_[static_cast<int>(table)]; }
  const Table& tableOf(ResultTable table) const { return tables_[static_cast<int>(table)]; }
  void changed() { version_.fetch_add(1, std::memory_order_acq_rel); }
  // Keeps the rows for which `keep` returns true, with the cells it leaves
  // them; the caller holds the lock.
  std::size_t keepRows(Table& table, const std::function<bool(TableRow&)>& keep);

  mutable std::mutex mutex_;
  std::array<Table, kResultTableCount> tables_{
      Table(ResultTable::kDbResult), Table(ResultTable::kPhotoResult), Table(ResultTable::kFuck1),
      Table(ResultTable::kFuck2), Table(ResultTable::kFuck3)};
  std::atomic<std::uint64_t> version_{0};
};

}  // namespace orv
