#include "results/list_snapshot.h"

namespace orv {

ListSnapshot LogSnapshot(const std::vector<LogLine>& lines) {
  ListSnapshot list{3, {}};
  list.rows.reserve(lines.size());
  for (const LogLine& line : lines) list.rows.push_back({line.time, line.type, line.description});
  return list;
}

}  // namespace orv
