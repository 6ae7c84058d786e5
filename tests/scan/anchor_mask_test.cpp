#include "scan/anchor_mask.h"

#include <gtest/gtest.h>

#include <random>

#include "scan/anchor_search.h"

namespace orv {
namespace {

// Every position where the exact anchor test matches must be marked, or the
// search would miss records.
TEST(AnchorMaskTest, MarksEveryPositionTheAnchorTestTakes) {
  std::mt19937 rng(5);
  // Bytes that make anchors likely: serial types of texts, dates, small integers.
  const std::uint8_t alphabet[] = {0, 1, 2, 4, 5, 8, 9, 11, 15, 23, 25, 37, 0x81, 0xFF};
  const ColumnParameters layouts[] = {{24, 27, 17, 4}, {9, 0, 0, 0},  {0, 26, 0, 0},
                                      {0, 0, 19, 7},   {0, 0, 16, 3}, {5, 4, 40, 39}};
  for (const std::size_t size : {0, 1, 2, 5, 17, 18, 19, 20, 63, 64, 65, 4096}) {
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = alphabet[rng() % std::size(alphabet)];
    for (const ColumnParameters& params : layouts) {
      const AnchorMask mask(bytes, params);
      for (std::size_t p = 0; p < size; ++p) {
        if (MatchAnchor(bytes, p, params)) {
          EXPECT_EQ(mask.next(p, size), p) << "size " << size << " position " << p;
        }
      }
      EXPECT_EQ(mask.next(size, size), size);
    }
  }
}

// A mask marked range by range marks every position the exact test takes
// in each range, near the buffer's edges too.
TEST(AnchorMaskTest, MarksEveryAnchorOfTheRangesMarked) {
  std::mt19937 rng(7);
  const std::uint8_t alphabet[] = {0, 1, 2, 4, 5, 8, 9, 11, 15, 23, 25, 37, 0x81, 0xFF};
  const ColumnParameters params{24, 27, 17, 6};
  std::vector<std::uint8_t> bytes(4096);
  for (auto& b : bytes) b = alphabet[rng() % std::size(alphabet)];
  struct Range {
    std::size_t from, to;
  };
  const Range ranges[] = {{0, 1}, {1, 40}, {5, 6}, {100, 133}, {700, 1500}, {4000, 4096}};
  for (const Range& range : ranges) {
    AnchorMask mask = AnchorMask::Unmarked(bytes, params);
    EXPECT_EQ(mask.next(0, bytes.size()), bytes.size());
    mask.markRange(range.from, range.to);
    for (std::size_t p = range.from; p < range.to; ++p) {
      if (MatchAnchor(bytes, p, params)) {
        EXPECT_EQ(mask.next(p, range.to), p) << range.from << " position " << p;
      }
    }
  }
}

}  // namespace
}  // namespace orv
