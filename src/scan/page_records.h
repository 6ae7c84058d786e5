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
  std::int64_t rowid = 0;
  std::size_t headerPos = 0;  // of the record's header in the buffer it was decoded from
};

struct PageRecords {
  std::vector<LiveRecord> records;        // in cell-pointer-list order
  std::vector<std::size_t> columnCounts;  // distinct column counts, ascending

  // The page's single column count K, or 0 when its records disagree or none
  // was accepted.
  std::size_t singleColumnCount() const { return columnCounts.size() == 1 ? columnCounts[0] : 0; }
  void clear() {
    for (LiveRecord& live : records) spare_.push_back(std::move(live));
    records.clear();
    columnCounts.clear();
  }

  // Appends a record slot, reusing the storage of a record cleared before,
  // so that decoding page after page allocates nothing once warmed up.
  LiveRecord& addRecord() {
    if (spare_.empty()) return records.emplace_back();
    records.push_back(std::move(spare_.back()));
    spare_.pop_back();
    return records.back();
  }
  // Takes back the slot addRecord gave last.
  void dropLastRecord() {
    spare_.push_back(std::move(records.back()));
    records.pop_back();
  }

 private:
  std::vector<LiveRecord> spare_;
};

}  // namespace orv
