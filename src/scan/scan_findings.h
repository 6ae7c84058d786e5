#pragma once
// What a finished scan found, for the activity log: the pages recognised and
// the rows of each record table, live and carved from deleted space.

#include <cstddef>
#include <string>

#include "scan/result_tables.h"

namespace orv {

struct FoundRows {
  std::size_t live = 0;
  std::size_t deleted = 0;  // rows marked "DEL"
};

struct ScanFindings {
  std::size_t pages = 0;  // DB-Result rows
  FoundRows calls;        // Fuck2
  FoundRows messages;     // Fuck3
  FoundRows contactRows;  // Fuck1
};

ScanFindings SummariseFindings(const ResultTables& tables);

// "发现数据页3个；通话记录：正常10条，删除2条；短信：…；联系人数据：正常…行，删除…行"
std::string ScanFindingsText(const ScanFindings& summary);

}  // namespace orv
