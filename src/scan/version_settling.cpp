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
  std::map<std::string, std::uint64_t, std::less<>> pageOf;  // DB-Result SN -> page offset
  tables.forEachRow(ResultTable::kDbResult, [&](const RowView& row) {
    if (const auto offset = ParseInt64(row[db_result::kStartOffset]); offset && *offset >= 0)
      pageOf.insert_or_assign(std::string(row[db_result::kSn]),
                              static_cast<std::uint64_t>(*offset));
    return true;
  });
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
    auto pageOfRow = [&](const RowView& row) -> std::optional<std::uint64_t> {
      if (row[id] == "-1" || !row[del].empty()) return std::nullopt;
      const auto page = pageOf.find(row[pageColumn]);
      if (page == pageOf.end()) return std::nullopt;
      return page->second;
    };
    auto keyOf = [&](const RowView& row, std::uint64_t page) {
      const auto frame = frameDatabase.find(page);
      return std::to_string(frame != frameDatabase.end() ? frame->second
                                                         : catalog.databaseAt(page)) +
             '|' + std::string(row[id]);
    };
    auto fieldsOf = [&](const RowView& row) {
      std::string fields;
      for (std::size_t c = 1; c < row.size(); ++c)
        if (c != pageColumn && c != del) (fields += row[c]) += '\x1f';
      return fields;
    };
    std::map<std::string, std::set<std::string>> listed;  // record -> the versions listed
    tables.forEachRow(table, [&](const RowView& row) {
      if (const auto page = pageOfRow(row); page && older.count(*page) == 0)
        listed[keyOf(row, *page)].insert(fieldsOf(row));
      return true;
    });
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
