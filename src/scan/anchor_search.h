#pragma once
// Where a deleted record of the call log, the contacts data table or the
// messages table may lie in a page's bytes. A freed cell loses its first four
// bytes to the freeblock header, so its payload length, rowid and header
// length are gone; what survives is the run of serial types, and a few of
// those types are fixed by each table's layout. An anchor is the position of
// such a telling type.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "scan/column_parameters.h"

namespace orv {

enum class RecordKind { kCall, kData, kMessage };

struct Anchor {
  RecordKind kind;
  std::size_t firstTypePos;  // where the record's first serial type (the rowid's) would stand
  std::size_t columnCount;
};

// A text column of at least one byte: an odd serial type of 15 or more.
inline bool IsNonEmptyTextType(std::uint8_t type) { return type >= 15 && (type & 1) != 0; }

// Tests position `p` of `page` (the bytes of one page, offsets from its
// start). Kinds are tried in the order call log, contacts data, messages; the
// first whose bytes match takes the position. A kind is tried only when the
// parameters give it a column count large enough for the columns its rows
// use (messages also need a date column after column 3). Reads at most four
// bytes, all inside `page`; an anchor whose record would begin before the
// page does not match.
[[nodiscard]] std::optional<Anchor> MatchAnchor(std::span<const std::uint8_t> page, std::size_t p,
                                                const ColumnParameters& params);

}  // namespace orv
