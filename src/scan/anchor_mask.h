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
  // Marks the anchor positions of the whole of `buffer`, which must outlive
  // the mask.
  AnchorMask(std::span<const std::uint8_t> buffer, const ColumnParameters& params);

  // A mask with no position marked yet: markRange marks the ranges a search
  // will visit, so bytes no search reaches are never tested.
  static AnchorMask Unmarked(std::span<const std::uint8_t> buffer, const ColumnParameters& params) {
    return AnchorMask(buffer, params, NothingMarked{});
  }

  // Marks the anchor positions of [from, to) (and maybe a few after it).
  void markRange(std::size_t from, std::size_t to);

  // The first marked position in [from, to), or `to` when there is none.
  std::size_t next(std::size_t from, std::size_t to) const { return bits_.next(from, to); }

 private:
  struct NothingMarked {};
  AnchorMask(std::span<const std::uint8_t> buffer, const ColumnParameters& params, NothingMarked)
      : buffer_(buffer), params_(params), bits_(buffer.size()) {}

  void mark(std::size_t pos) { bits_.mark(pos); }

  std::span<const std::uint8_t> buffer_;
  ColumnParameters params_;
  PositionBits bits_;
};

}  // namespace orv
