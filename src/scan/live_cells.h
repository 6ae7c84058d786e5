#pragma once
// The live-cell decoding: the live cells of a table leaf page (b-tree page type 0x0D).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "scan/page_records.h"

namespace orv {

// The page's cell pointers in the order the engine walks them: ascending as
// decimal texts ("1000" before "996"), duplicates removed. The order decides
// which record counts as a page's first and the order of its rows.
void SortCellPointersAsText(std::vector<std::uint16_t>& pointers);

enum class LiveCellsOutcome { kCompleted, kStopped };

// Decodes every cell whose pointer is in `pointers` (each already checked to
// lie inside the page) of the page at `pageOffset` in `buffer`, appending one
// entry per accepted record to `out`. Bad cells are skipped. Returns kStopped
// when the shared stop flag was seen before a cell; entries appended until
// then stay. Reads nothing outside `buffer`. Rowids are taken in their short
// forms (up to five bytes) unless `anyRowid`, which also takes the long forms
// of large and negative rowids (the ids of the owner's profile database).
[[nodiscard]] LiveCellsOutcome DecodeLiveCells(std::span<const std::uint16_t> pointers,
                                               std::size_t pageOffset,
                                               std::span<const std::uint8_t> buffer,
                                               PageRecords& out, bool anyRowid = false);

// The first half of DecodeLiveCells: the same records accepted and rejected,
// with their labels, sizes, rowids and cell lengths, but no values, so that a
// page its column counts rule out costs no text.
[[nodiscard]] LiveCellsOutcome DecodeLiveCellHeaders(std::span<const std::uint16_t> pointers,
                                                     std::size_t pageOffset,
                                                     std::span<const std::uint8_t> buffer,
                                                     PageRecords& out, bool anyRowid = false);

// The second half: the values of `page`'s records from record `first` on,
// read from the `buffer` DecodeLiveCellHeaders decoded them from.
void DecodeLiveValues(std::span<const std::uint8_t> buffer, PageRecords& page,
                      std::size_t first = 0);

}  // namespace orv
