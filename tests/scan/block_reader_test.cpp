#include "scan/block_reader.h"

#include <gtest/gtest.h>

#include <random>

#include "fixtures/memory_source.h"

namespace orv {
namespace {

using fixtures::MemorySource;

struct ReaderCase {
  const char* name;
  std::set<std::uint64_t> failingSectors;
};

class BlockReaderTest : public ::testing::TestWithParam<ReaderCase> {};

// Every block the read-ahead reader hands out, margin included, equals a
// direct read of that block and the image's own bytes (zero past the end and
// on failing sectors). The image is several read-ahead pieces long and ends
// in a part block and a part sector.
TEST_P(BlockReaderTest, EveryBlockMatchesADirectReadAndTheImage) {
  constexpr std::size_t kImageBytes = 5 * 1024 * 1024 + 3 * kScanBlockBytes / 2 + 700;
  std::vector<std::uint8_t> image(kImageBytes);
  std::mt19937 random(20260101);
  for (auto& byte : image) byte = static_cast<std::uint8_t>(random());
  const auto& failing = GetParam().failingSectors;
  const std::uint64_t sectors = kImageBytes / kSectorBytes;
  const std::uint64_t blocks = (sectors + 127) / 128;

  MemorySource ahead(image, failing);
  MemorySource direct(image, failing);
  UnreadableBytes aheadLost, directLost;
  std::vector<std::uint8_t> buffer;
  {
    SequentialBlockReader reader(ahead, blocks, aheadLost);
    for (std::uint64_t block = 0; block < blocks; ++block) {
      const auto got = reader.block(block);
      ASSERT_EQ(got.size(), kReadBufferBytes);
      ReadBlock(direct, block, buffer, directLost);
      ASSERT_TRUE(std::equal(got.begin(), got.end(), buffer.begin())) << "block " << block;
      for (std::size_t i = 0; i < kReadBufferBytes; ++i) {
        const std::uint64_t at = block * kScanBlockBytes + i;
        const bool lost = at >= kImageBytes || failing.contains(at / kSectorBytes);
        ASSERT_EQ(got[i], lost ? 0 : image[at]) << "block " << block << " byte " << i;
      }
    }
  }
  EXPECT_EQ(aheadLost.total(), failing.size() * kSectorBytes);
  EXPECT_EQ(directLost.total(), failing.size() * kSectorBytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, BlockReaderTest,
                         ::testing::Values(ReaderCase{"AllReadable", {}},
                                           // the first sector, one in a block's margin, the last of
                                           // a 512 KiB piece and the first of the next
                                           ReaderCase{"FailingSectors",
                                                      {0, 128 + 3, 1023, 1024, 5000}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs of blocks with gaps between them, empty runs and runs that end in
// the middle of a read-ahead piece each hand out the blocks a direct read
// gives, in order.
TEST(BlockReaderRuns, RunsGiveTheBlocksOfADirectRead) {
  constexpr std::size_t kBlocks = 40;
  std::vector<std::uint8_t> image(kBlocks * kScanBlockBytes);
  std::mt19937 random(20261208);
  for (auto& byte : image) byte = static_cast<std::uint8_t>(random());
  const std::vector<std::vector<BlockRun>> cases = {
      {{0, 1}},
      {{3, 3}, {5, 14}, {14, 15}, {20, 29}, {39, 40}},
      {{1, 9}, {9, 17}},
      {{7, 8}, {8, 8}, {16, 40}},
  };
  for (const auto& runs : cases) {
    MemorySource ahead(image, {});
    MemorySource direct(image, {});
    UnreadableBytes lost;
    std::vector<std::uint8_t> buffer;
    SequentialBlockReader reader(ahead, runs, lost);
    for (const BlockRun& run : runs)
      for (std::uint64_t block = run.first; block < run.end; ++block) {
        const auto got = reader.block(block);
        ReadBlock(direct, block, buffer, lost);
        ASSERT_TRUE(std::equal(got.begin(), got.end(), buffer.begin()))
            << "block " << block << " of a run starting at " << runs.front().first;
      }
  }
}

}  // namespace
}  // namespace orv
