#pragma once
// The positions of a buffer where a deleted record's anchor may stand, found
// sixteen positions at a time before the byte-by-byte search. A position is
// marked when its bytes pass the anchor tests of some kind the column
// parameters enable, page bounds aside; every position where MatchAnchor can
// match, for any page lying in the buffer, is marked. The search then visits
// only marked positions and gives the same results as visiting every byte.

#include <cstddef>
#include <cstdint>
#include <span>

#include "scan/column_parameters.h"
#include "scan/position_bits.h"

namespace orv {

class AnchorMask {
 public:
  AnchorMask(std::span<const std::uint8_t> buffer, const ColumnParameters& params);

  // The first marked position in [from, to), or `to` when there is none.
  std::size_t next(std::size_t from, std::size_t to) const { return bits_.next(from, to); }

 private:
  void mark(std::size_t pos) { bits_.mark(pos); }

  PositionBits bits_;
};

}  // namespace orv
