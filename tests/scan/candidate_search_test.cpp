#include "scan/candidate_search.h"

#include <gtest/gtest.h>

#include <random>

namespace orv {
namespace {

// The vector search must mark exactly the positions the byte test takes, and
// the walk must honour where the visitor says to go on.
TEST(CandidateSearchTest, BulkSearchAgreesWithTheByteTest) {
  std::mt19937 rng(9);
  const std::uint8_t alphabet[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05,
                                   0x0A, 0x0D, 0x0F, 0x10, 0x80, 0xFF};
  std::vector<std::uint8_t> bytes(4096 + 5);
  for (auto& b : bytes) b = alphabet[rng() % std::size(alphabet)];

  std::vector<std::size_t> expected;
  for (std::size_t q = 0; q < 4096; ++q)
    if (MayStartPage(bytes.data() + q)) expected.push_back(q);
  ASSERT_GT(expected.size(), 20u);

  std::vector<std::size_t> visited;
  ForEachPageCandidate(bytes, 4096, [&](std::size_t q) {
    visited.push_back(q);
    return q + 1;
  });
  EXPECT_EQ(visited, expected);

  // Skipping to the next 512-byte boundary visits only the first candidate
  // of each stretch.
  std::vector<std::size_t> firsts;
  ForEachPageCandidate(bytes, 4096, [&](std::size_t q) {
    firsts.push_back(q);
    return (q / 512 + 1) * 512;
  });
  std::vector<std::size_t> expectedFirsts;
  for (std::size_t q : expected)
    if (expectedFirsts.empty() || q / 512 != expectedFirsts.back() / 512)
      expectedFirsts.push_back(q);
  EXPECT_EQ(firsts, expectedFirsts);
}

// Every byte value, page types with a high nibble set among them (0x1D,
// 0x8A ...), and every field at each side of its limit.
TEST(CandidateSearchTest, BulkSearchAgreesWithTheByteTestOnEveryByteValue) {
  std::mt19937 rng(15);
  std::vector<std::uint8_t> bytes(1 << 16);
  for (auto& b : bytes) {
    const unsigned pick = rng() % 4;  // types are as common as in-range fields
    b = pick == 0   ? static_cast<std::uint8_t>(rng())
        : pick == 1 ? static_cast<std::uint8_t>((rng() % 2 ? rng() % 16 : 0) << 4 |
                                                (rng() % 2 ? 0x0D : 0x02))
        : pick == 2 ? static_cast<std::uint8_t>(rng() % 5 == 0 ? 0x10 : 0x0F)
                    : static_cast<std::uint8_t>(rng() % 2 ? 0x03 : 0x04);
  }
  const std::size_t end = bytes.size() - 64;
  std::vector<std::size_t> expected;
  for (std::size_t q = 0; q < end; ++q)
    if (MayStartPage(bytes.data() + q)) expected.push_back(q);
  ASSERT_GT(expected.size(), 500u);
  std::vector<std::size_t> visited;
  ForEachPageCandidate(bytes, end, [&](std::size_t q) {
    visited.push_back(q);
    return q + 1;
  });
  EXPECT_EQ(visited, expected);
}

}  // namespace
}  // namespace orv
