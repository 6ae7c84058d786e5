#pragma once
// The numbers the engine takes from the SQLite file format and from the way
// it reads raw storage, each with where it comes from. Every size check of a
// page derives from kPageBytes, so another page size changes one line.

#include <cstddef>
#include <cstdint>

#include "platform/sector_read.h"

namespace orv {

// Page size of the phone's databases: Android's SQLite writes 4096-byte pages
// (the file header's page size field; the engine only recognises these).
inline constexpr std::size_t kPageBytes = 4096;
// The last offset inside a page: a first freeblock, a cell content start and a
// cell pointer are page offsets, so none may exceed it.
inline constexpr std::size_t kLastPageOffset = kPageBytes - 1;

// b-tree page header (file format, "B-tree Pages"): 8 bytes on leaf pages,
// 12 on interior pages (the 4-byte right child follows); then the cell
// pointer array of 2-byte big-endian offsets.
inline constexpr std::size_t kLeafHeaderBytes = 8;
inline constexpr std::size_t kInteriorHeaderBytes = 12;
inline constexpr std::size_t kCellPointerBytes = 2;

// The most cell pointers a leaf page's array can hold: the page after its
// header, all pointers ((4096 - 8) / 2 = 2044). A listed page claiming more
// is not a page.
inline constexpr std::size_t kMaxCellsInPage = (kPageBytes - kLeafHeaderBytes) / kCellPointerBytes;
// The most cells a candidate may claim in the byte-by-byte tests: the
// recognition rule's cap (799). A page of the phone's tables, whose records
// have more than five columns, holds far fewer; garbage that claims more is
// turned away before its pointer array is read.
inline constexpr std::size_t kMaxCandidateCells = 799;

// The byte-by-byte passes go through the source in blocks of 128 sectors.
inline constexpr std::size_t kScanBlockBytes = 128 * kSectorBytes;
// What is read past each block: a page, rounded up by one sector so that a
// page starting at any byte of the block, with its header tests, lies in the
// buffer and every read is whole sectors (4608).
inline constexpr std::size_t kReadMarginBytes = kPageBytes + kSectorBytes;
// The buffer one block is read into (70144).
inline constexpr std::size_t kReadBufferBytes = kScanBlockBytes + kReadMarginBytes;

static_assert(kReadMarginBytes % kSectorBytes == 0 && kScanBlockBytes % kSectorBytes == 0);
static_assert(kLeafHeaderBytes + kCellPointerBytes * kMaxCandidateCells <= kReadMarginBytes,
              "a candidate at a block's last byte has its whole pointer array in the buffer");

}  // namespace orv
