#pragma once
// The live records of one table leaf page, as the live-cell decoding reads them.

#include <cstdint>
#include <string>
#include <vector>

#include "scan/decoded_record.h"

namespace orv {

struct LiveRecord {
  DecodedRecord record;      // value 0 is the cell's rowid in decimal
  std::uint32_t cellLength;  // payload-length and rowid varints plus the payload
};

struct PageRecords {
  std::vector<LiveRecord> records;        // in cell-pointer-list order
  std::vector<std::size_t> columnCounts;  // distinct column counts, ascending

  // The page's single column count K, or 0 when its records disagree or none
  // was accepted.
  std::size_t singleColumnCount() const { return columnCounts.size() == 1 ? columnCounts[0] : 0; }
  void clear() {
    records.clear();
    columnCounts.clear();
  }
};

}  // namespace orv
