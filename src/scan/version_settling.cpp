#include "scan/version_settling.h"

#include <map>
#include <optional>
#include <set>

#include "scan/record_tests.h"

namespace orv {

std::vector<std::string> SettleVersions(std::span<const WalLog> wals, const SchemaCatalog& catalog,
                                        ResultTables& tables) {
  std::set<std::uint64_t> older;
  std::map<std::uint64_t, std::size_t> frameDatabase;  // a frame's page -> its log's database
  for (const WalLog& wal : wals) {
    const std::size_t database = catalog.databaseAt(wal.offset);
    const DatabaseInfo& db = catalog.databases()[database];
    std::optional<std::uint64_t> file;
    if (db.hasHeader && db.pageBytes == wal.pageBytes) file = db.offset;
    older.merge(SupersededPages(wal, file));
    for (const WalFrame& frame : wal.frames) frameDatabase[frame.pageOffset] = database;
  }
  std::vector<std::string> lines;
  if (older.empty()) return lines;
  std::map<std::string, std::uint64_t> pageOf;  // DB-Result SN -> page offset
  for (const TableRow& row : tables.rows(ResultTable::kDbResult))
    if (const auto offset = ParseInt64(row[db_result::kStartOffset]); offset && *offset >= 0)
      pageOf[row[db_result::kSn]] = static_cast<std::uint64_t>(*offset);
  std::size_t history = 0;
  for (const auto& tableAndPageColumn :
       {std::pair<ResultTable, std::size_t>{ResultTable::kFuck1, fuck1::kDataResultNum},
        std::pair<ResultTable, std::size_t>{ResultTable::kFuck2, fuck2::kDbResultNum},
        std::pair<ResultTable, std::size_t>{ResultTable::kFuck3, fuck3::kDbResultNum}}) {
    // Plain names, not structured bindings: the lambdas below capture them.
    const ResultTable table = tableAndPageColumn.first;
    const std::size_t pageColumn = tableAndPageColumn.second;
    const std::size_t del = DeletedColumn(table);
    const std::size_t id = 1;  // the record's rowid, "-1" on carved rows
    // The page of a live row, when it has one.
    auto pageOfRow = [&](const TableRow& row) -> std::optional<std::uint64_t> {
      if (row[id] == "-1" || !row[del].empty()) return std::nullopt;
      const auto page = pageOf.find(row[pageColumn]);
      if (page == pageOf.end()) return std::nullopt;
      return page->second;
    };
    auto keyOf = [&](const TableRow& row, std::uint64_t page) {
      const auto frame = frameDatabase.find(page);
      return std::to_string(frame != frameDatabase.end() ? frame->second
                                                         : catalog.databaseAt(page)) +
             '|' + row[id];
    };
    auto fieldsOf = [&](const TableRow& row) {
      std::string fields;
      for (std::size_t c = 1; c < row.size(); ++c)
        if (c != pageColumn && c != del) fields += row[c] + '\x1f';
      return fields;
    };
    std::map<std::string, std::set<std::string>> listed;  // record -> the versions listed
    for (const TableRow& row : tables.rows(table))
      if (const auto page = pageOfRow(row); page && older.count(*page) == 0)
        listed[keyOf(row, *page)].insert(fieldsOf(row));
    tables.editRows(table, [&](TableRow& row) {
      const auto page = pageOfRow(row);
      if (!page || older.count(*page) == 0) return true;
      if (!listed[keyOf(row, *page)].insert(fieldsOf(row)).second) return false;
      row[del] = kHistoryMark;
      ++history;
      return true;
    });
  }
  for (const WalLog& wal : wals) {
    std::size_t committed = 0;
    for (std::size_t i = 0; i < wal.frames.size(); ++i)
      if (wal.frames[i].commit) committed = i + 1;
    lines.push_back("预写日志(WAL):偏移值为" + std::to_string(wal.offset) + ",帧数:" +
                    std::to_string(wal.frames.size()) + ",已提交帧数:" + std::to_string(committed));
  }
  lines.push_back("旧版本记录数:" + std::to_string(history));
  return lines;
}

}  // namespace orv
