#include "results/list_snapshot.h"

namespace orv {

ListSnapshot TableSnapshot(const ResultTables& tables, ResultTable table) {
  return {ResultTableColumns(table).size(), tables.rows(table)};
}

ListSnapshot LogSnapshot(const std::vector<LogLine>& lines) {
  ListSnapshot list{3, {}};
  list.rows.reserve(lines.size());
  for (const LogLine& line : lines) list.rows.push_back({line.time, line.type, line.description});
  return list;
}

}  // namespace orv
