#pragma once
// Rows of pages a write-ahead log holds in several versions: the database
// file's page, the frames of the log, committed or not. Each record is to be
// listed once, as the newest committed version holds it; what an older
// version holds differently is kept apart as its history.

#include <span>
#include <string>
#include <vector>

#include "scan/result_tables.h"
#include "scan/schema_catalog.h"
#include "scan/wal_frames.h"

namespace orv {

// Where one of `wals` (found in the image, with their databases in
// `catalog`) holds a newer version of a page, the rows of `tables` read from
// the older versions (the database file's page, earlier and uncommitted
// frames) are settled: a row the newest committed version holds as it is,
// or an earlier old version holds, is removed; another is marked
// kHistoryMark. Carved and already marked rows stay as they are. Returns the
// activity log texts: one per log, then the count of history rows; none
// when no page has an older version.
std::vector<std::string> SettleVersions(std::span<const WalLog> wals, const SchemaCatalog& catalog,
                                        ResultTables& tables);

}  // namespace orv
