#pragma once
// The cheap tests of a b-tree page header at a candidate position, made
// before anything is allocated. B-tree page header (SQLite file format):
// type byte, first freeblock (2 bytes), cell count (2), cell content start
// (2), [fragmented bytes (1), right child (4) on interior pages], then the
// cell pointer array of 2-byte big-endian offsets.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "scan/page_format.h"

namespace orv {

inline constexpr std::uint8_t kTableLeafPage = 0x0D;
inline constexpr std::uint8_t kTableInteriorPage = 0x05;
inline constexpr std::uint8_t kIndexInteriorPage = 0x02;
inline constexpr std::uint8_t kIndexLeafPage = 0x0A;

// Header length of a page type: 12 for interior pages, 8 for leaf pages.
inline std::size_t PageHeaderLength(std::uint8_t type) {
  return type == kTableInteriorPage || type == kIndexInteriorPage ? kInteriorHeaderBytes
                                                                  : kLeafHeaderBytes;
}

// The discovery test of a table leaf page at `q` (the 0x0D byte): first
// freeblock at most kLastPageOffset, 1 to kMaxCandidateCells cells, content
// start inside the page after the pointer array, a single cell starting at
// the content start, and every pointer inside the page after the array. On
// success `pointers` holds the pointers in array order. False, reading
// nothing past it, when the header or the array does not lie in `buffer`.
[[nodiscard]] bool ReadLeafPageCandidate(std::span<const std::uint8_t> buffer, std::size_t q,
                                         std::vector<std::uint16_t>& pointers);

// The deleted-page test at `q`: type 0x05, 0x02 or 0x0A with at least one
// cell, the same header rules (duplicate pointers allowed). A 0x0D page never
// qualifies: with cells it is live, without cells it has nothing to pass on.
// Reads nothing outside `buffer`.
[[nodiscard]] bool IsAbandonedPageCandidate(std::span<const std::uint8_t> buffer, std::size_t q);

// The re-validation of a listed page of `pageBytes` read to the start of
// `page`: no more cells than the page's pointer array can hold
// (kMaxCellsInPage for 4096 bytes), every pointer inside the page after the
// array. False on failure, and when the header or array does not lie in
// `page`.
[[nodiscard]] bool ReadListedPagePointers(std::span<const std::uint8_t> page,
                                          std::vector<std::uint16_t>& pointers,
                                          std::size_t pageBytes = kPageBytes);

}  // namespace orv
