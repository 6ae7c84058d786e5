#pragma once
// The bulk first test of the byte-by-byte passes: finds the positions where a
// b-tree page header could start, many positions at a time.
//
// A position qualifies when its byte is a page type (0x0D, 0x05, 0x02, 0x0A)
// and the high bytes of the header fields leave them possible: first
// freeblock and cell content start below 4096 (high byte below 0x10), cell
// count below 800 (high byte below 4). Every page the full header tests
// accept passes this test, so skipping the others changes no result.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "scan/page_format.h"

namespace orv {

// The header bytes the bulk test looks at past a position: up to the content
// start's high byte at +5.
inline constexpr std::size_t kCandidateLookahead = 5;

static_assert(kLastPageOffset >> 8 <= 0x0F && kMaxCandidateCells >> 8 <= 0x03,
              "the high-byte limits let every page the full header tests accept through");

// `p` points at kCandidateLookahead + 1 readable bytes.
inline bool MayStartPage(const std::uint8_t* p) {
  const std::uint8_t type = p[0];
  return (type == 0x0D || type == 0x05 || type == 0x02 || type == 0x0A) && p[1] < 0x10 &&
         p[3] < 0x04 && p[5] < 0x10;
}

// Sets bit i of `bits` (64 positions a word) when position i of `data` may
// start a page, for i in [0, count); `count` is a multiple of 64 and `data`
// holds at least count + 5 bytes. Uses the widest vector unit the processor has.
void FindPageCandidates(const std::uint8_t* data, std::size_t count, std::uint64_t* bits);

// Calls `visit(q)` for every qualifying position q in [0, end) of `buffer`, in
// ascending order; `visit` returns the position to go on from (at least
// q + 1). `end` is a multiple of 64; `buffer` must hold at least
// end + kCandidateLookahead bytes: a caller that gives less has a bug, and an
// exception says so before a byte is read.
template <class Visit>
void ForEachPageCandidate(std::span<const std::uint8_t> buffer, std::size_t end, Visit&& visit) {
  if (end % 64 != 0 || buffer.size() < end || buffer.size() - end < kCandidateLookahead)
    throw std::out_of_range("ForEachPageCandidate: the buffer is shorter than its end");
  thread_local std::vector<std::uint64_t> bits;
  bits.resize(end / 64);
  FindPageCandidates(buffer.data(), end, bits.data());
  std::size_t next = 0;
  for (std::size_t word = 0; word < bits.size(); ++word) {
    std::uint64_t mask = bits[word];
    const std::size_t base = word * 64;
    if (next > base) mask = next - base >= 64 ? 0 : mask & (~std::uint64_t{0} << (next - base));
    while (mask != 0) {
      const std::size_t q = base + static_cast<std::size_t>(__builtin_ctzll(mask));
      next = visit(q);
      if (next >= base + 64) break;
      mask &= ~std::uint64_t{0} << (next - base);
    }
  }
}

}  // namespace orv
