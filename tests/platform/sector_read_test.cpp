#include "platform/sector_read.h"

#include <gtest/gtest.h>

#include "fixtures/memory_source.h"

namespace orv {
namespace {

using fixtures::MemorySource;

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251 + 1);
  return bytes;
}

struct SectorCase {
  const char* name;
  std::size_t sourceBytes;
  std::set<std::uint64_t> failing;
  std::uint64_t offset;
  std::size_t length;
  std::uint64_t lostBytes;
  std::vector<std::uint64_t> firstOffsets;
};

class ReadSectorsTest : public ::testing::TestWithParam<SectorCase> {};

// Every byte of the read is the source's byte, or zero where its sector fails
// or the source has ended; only failing sectors inside the source count.
TEST_P(ReadSectorsTest, ZeroesAndCountsOnlyTheFailingSectors) {
  const SectorCase& c = GetParam();
  const auto bytes = Pattern(c.sourceBytes);
  MemorySource source(bytes, c.failing);
  std::vector<std::uint8_t> out(c.length, 0xEE);
  UnreadableBytes unreadable;
  ReadSectors(source, c.offset, out, unreadable);
  for (std::size_t i = 0; i < c.length; ++i) {
    const std::uint64_t at = c.offset + i;
    const bool lost = at >= bytes.size() || c.failing.contains(at / kSectorBytes);
    ASSERT_EQ(out[i], lost ? 0 : bytes[at]) << "at " << at;
  }
  EXPECT_EQ(unreadable.total(), c.lostBytes);
  EXPECT_EQ(unreadable.firstOffsets(2), c.firstOffsets);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadSectorsTest,
    ::testing::Values(
        SectorCase{"AllReadable", 8192, {}, 512, 4096, 0, {}},
        SectorCase{"OneSectorInTheMiddle", 8192, {4}, 0, 8192, 512, {2048}},
        SectorCase{"FirstSectorOfTheRead", 8192, {2}, 1024, 2048, 512, {1024}},
        SectorCase{"LastSectorOfTheRead", 8192, {5}, 1024, 2048, 512, {2560}},
        SectorCase{"SectorJustAfterTheRead", 8192, {6}, 1024, 2048, 0, {}},
        SectorCase{"SectorJustBeforeTheRead", 8192, {1}, 1024, 2048, 0, {}},
        SectorCase{"TwoApartAndTwoTogether", 16384, {3, 9, 10}, 0, 16384, 1536, {1536, 4608}},
        SectorCase{"EndOfSourceIsNotLost", 5000, {}, 4096, 1024, 0, {}},
        SectorCase{"FailingShortLastSector", 5000, {9}, 4096, 1024, 392, {4608}},
        SectorCase{"WhollyPastTheEnd", 4096, {}, 8192, 512, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadSectorsTest, ReadsOnceWhenNothingFails) {
  MemorySource source(Pattern(70144));
  std::vector<std::uint8_t> out(70144);
  UnreadableBytes unreadable;
  ReadSectors(source, 0, out, unreadable);
  EXPECT_EQ(source.reads, 1);
}

TEST(UnreadableBytesTest, RangesReadTwiceCountOnce) {
  UnreadableBytes unreadable;
  unreadable.add(1024, 512);
  unreadable.add(1024, 512);  // the same sector in a later pass
  unreadable.add(1536, 512);  // touching: one range
  unreadable.add(512, 1024);  // overlapping from below
  unreadable.add(8192, 512);
  unreadable.add(0, 0);  // nothing
  EXPECT_EQ(unreadable.total(), 1536u + 512u);
  EXPECT_EQ(unreadable.firstOffsets(5), (std::vector<std::uint64_t>{512, 8192}));
  EXPECT_EQ(unreadable.firstOffsets(1), (std::vector<std::uint64_t>{512}));
}

}  // namespace
}  // namespace orv
