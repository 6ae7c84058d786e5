#pragma once
// A set of positions of a buffer, one bit each, with a fast search for the
// next position in it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv {

class PositionBits {
 public:
  explicit PositionBits(std::size_t size) : bits_((size + 63) / 64, 0) {}

  void mark(std::size_t pos) { bits_[pos / 64] |= std::uint64_t{1} << (pos % 64); }
  // Sets positions 64 * index to 64 * index + 63 at once, bit i for position 64 * index + i.
  void setWord(std::size_t index, std::uint64_t bits) { bits_[index] = bits; }

  // The first marked position in [from, to), or `to` when there is none.
  std::size_t next(std::size_t from, std::size_t to) const {
    to = std::min(to, bits_.size() * 64);
    while (from < to) {
      const std::uint64_t word = bits_[from / 64] >> (from % 64);
      if (word != 0) return std::min(to, from + static_cast<std::size_t>(__builtin_ctzll(word)));
      from = (from / 64 + 1) * 64;
    }
    return to;
  }

 private:
  std::vector<std::uint64_t> bits_;
};

}  // namespace orv
