#pragma once
// Deleted records of a page read with a learned layout. When SQLite deletes
// a cell it writes the next freeblock's offset and the freed size over the
// cell's first four bytes (its payload-length and rowid varints and often
// the record's header-length byte and first serial type); the rest stays
// until the space is reused. Such cells lie in the page's freeblocks and in
// its unused space below the first live cell.
//
// The carving reads every free byte of the page: a record whose header is
// intact where it lies, and a cell whose first four bytes were overwritten,
// its header rebuilt from the layout (the rowid alias column, stored as NULL,
// first). A record is taken only when it fits the layout with the value
// checks of live records.

#include <cstdint>
#include <span>
#include <vector>

#include "scan/decoded_record.h"
#include "scan/learned_rows.h"
#include "scan/page_records.h"
#include "scan/table_layout.h"

namespace orv {

// A free region of a page, [start, end) as offsets within the page.
struct FreeRegion {
  std::uint32_t start;
  std::uint32_t end;
};

// The bytes of the page (`page`, exactly its size) that no live cell, the
// header or the cell-pointer list holds. `pointers` and `records` are in the
// same order; empty when some cell gave no record (its extent is unknown).
std::vector<FreeRegion> FreeRegionsOf(std::span<const std::uint8_t> page,
                                      std::span<const std::uint16_t> pointers,
                                      const PageRecords& records);

// The records of `layout` carved from `regions` of `page`, in page order;
// none overlaps another. Value 0 of each is its stored rowid-alias value
// ("Null").
std::vector<DecodedRecord> CarveLayoutRecords(std::span<const std::uint8_t> page,
                                              const std::vector<FreeRegion>& regions,
                                              const TableLayout& layout,
                                              const MimetypeNames& mimetypes);

}  // namespace orv
