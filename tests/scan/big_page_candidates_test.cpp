#include "scan/big_page_candidates.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "scan/page_header.h"

namespace orv {
namespace {

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t value) {
  bytes[at] = static_cast<std::uint8_t>(value >> 8);
  bytes[at + 1] = static_cast<std::uint8_t>(value);
}

struct Header {
  std::uint8_t type = kTableLeafPage;
  std::size_t firstFreeblock = 0;
  std::size_t contentStart = 0;
  std::uint8_t fragmented = 0;
  std::vector<std::size_t> pointers = {};
  std::size_t cells = 0;  // the cell count field; the pointers' count when 0
};

std::vector<std::uint8_t> Bytes(const Header& h) {
  std::vector<std::uint8_t> bytes(kLeafHeaderBytes + kCellPointerBytes * h.pointers.size());
  bytes[0] = h.type;
  Put16(bytes, 1, h.firstFreeblock);
  Put16(bytes, 3, h.cells != 0 ? h.cells : h.pointers.size());
  Put16(bytes, 5, h.contentStart);
  bytes[7] = h.fragmented;
  for (std::size_t j = 0; j < h.pointers.size(); ++j)
    Put16(bytes, kLeafHeaderBytes + kCellPointerBytes * j, h.pointers[j]);
  return bytes;
}

TEST(BigLeafPageBytesTest, TheSizeIsTheSmallestPowerOfTwoPastEveryOffsetOfTheHeader) {
  struct Case {
    const char* what;
    Header header;
    std::optional<std::uint32_t> pageBytes;
  };
  const Case cases[] = {
      {"all inside 4096 bytes: the discovery tests see it",
       {.contentStart = 4000, .pointers = {4000, 4095}},
       std::nullopt},
      {"a pointer at 4096", {.contentStart = 4000, .pointers = {4096, 4000}}, 8192},
      {"the content start at 4096", {.contentStart = 4096, .pointers = {4096}}, 8192},
      {"a freeblock past 4095",
       {.firstFreeblock = 4100, .contentStart = 4000, .pointers = {4000}},
       8192},
      {"a pointer at 8191", {.contentStart = 5000, .pointers = {8191}}, 8192},
      {"a pointer at 8192", {.contentStart = 5000, .pointers = {8192}}, 16384},
      {"a pointer at 65535", {.contentStart = 40000, .pointers = {65535, 40000}}, 65536},
      {"60 fragmented bytes", {.contentStart = 5000, .fragmented = 60, .pointers = {5000}}, 8192},
      {"61 fragmented bytes",
       {.contentStart = 5000, .fragmented = 61, .pointers = {5000}},
       std::nullopt},
      {"a pointer before the content start",
       {.contentStart = 5000, .pointers = {4999, 6000}},
       std::nullopt},
      {"a freeblock before the content start",
       {.firstFreeblock = 4999, .contentStart = 5000, .pointers = {5000}},
       std::nullopt},
      {"no cells", {.contentStart = 5000}, std::nullopt},
      {"a content start of 0 (65536) with cells",
       {.contentStart = 0, .pointers = {5000}},
       std::nullopt},
      {"the pointer array past the content start",
       {.contentStart = 5000, .pointers = {5000}, .cells = 2497},
       std::nullopt},
      {"the pointer array ending at the content start",
       {.contentStart = 5000, .pointers = {5000}, .cells = 2496},
       8192},
      {"an interior page",
       {.type = kTableInteriorPage, .contentStart = 5000, .pointers = {5000}},
       std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(BigLeafPageBytes(Bytes(c.header)), c.pageBytes) << c.what;
  EXPECT_FALSE(BigLeafPageBytes(std::vector<std::uint8_t>(7, kTableLeafPage)));  // short
}

// A 64 KiB block and the bytes after it, with big leaf headers where asked.
std::vector<std::uint8_t> Block(const std::vector<std::pair<std::size_t, std::size_t>>& pages) {
  std::vector<std::uint8_t> buffer(kReadBufferBytes, 0);
  for (const auto& [at, pointer] : pages) {
    const auto header = Bytes({.contentStart = pointer, .pointers = {pointer}});
    std::memcpy(&buffer[at], header.data(), header.size());
  }
  return buffer;
}

std::vector<std::uint8_t> DatabaseHeader(std::uint16_t pageSizeField) {
  std::vector<std::uint8_t> bytes(100, 0);
  std::memcpy(bytes.data(), "SQLite format 3", 16);
  Put16(bytes, 16, pageSizeField);
  return bytes;
}

TEST(BigPageCandidatesTest, OnlySectorStartsAreNoted) {
  BigPageCandidates candidates;
  candidates.noteBlock(Block({{0, 5000}, {512 * 3, 9000}, {700, 5000}, {kScanBlockBytes, 5000}}),
                       0);
  const SchemaCatalog catalog;
  EXPECT_EQ(candidates.pages(catalog, {}),
            (std::vector<BigPage>{{0, 8192, false}, {512 * 3, 16384, false}}));
}

TEST(BigPageCandidatesTest, TheDeclaredSizeWinsUnlessThePageNeedsMore) {
  BigPageCandidates candidates;
  candidates.noteBlock(Block({{4096, 5000}}), 0);
  candidates.noteBlock(Block({{0, 5000}, {512, 20000}}), kScanBlockBytes);
  candidates.noteBlock(Block({{1024, 5000}}), 2 * kScanBlockBytes);
  SchemaCatalog catalog;
  ASSERT_TRUE(catalog.noteHeader(kScanBlockBytes - 65536 / 2, DatabaseHeader(1)));  // 65536
  ASSERT_TRUE(catalog.noteHeader(2 * kScanBlockBytes, DatabaseHeader(1024)));
  EXPECT_EQ(candidates.pages(catalog, {}),
            (std::vector<BigPage>{{4096, 8192, false},
                                  {kScanBlockBytes - 65536 / 2, 65536, true},
                                  {kScanBlockBytes, 65536, false},
                                  {kScanBlockBytes + 512, 65536, false},
                                  {2 * kScanBlockBytes + 1024, 8192, false}}));
}

TEST(BigPageCandidatesTest, FramesOfLogsWithBigPagesAreRead) {
  WalLog big;
  big.offset = 8192;
  big.pageBytes = 16384;
  big.frames = {{1, false, 8192 + 56}, {3, true, 8192 + 56 + 16408}};
  WalLog small = big;
  small.pageBytes = 4096;
  const SchemaCatalog catalog;
  const std::vector<WalLog> wals{big, small};
  EXPECT_EQ(BigPageCandidates().pages(catalog, wals),
            (std::vector<BigPage>{{8192 + 56, 16384, true}, {8192 + 56 + 16408, 16384, false}}));
}

TEST(BigPageCandidatesTest, RangesMergedInOrderGiveWhatOneRangeGives) {
  const auto first = Block({{512, 5000}});
  const auto second = Block({{0, 9000}});
  BigPageCandidates whole, early, late;
  whole.noteBlock(first, 0);
  whole.noteBlock(second, kScanBlockBytes);
  early.noteBlock(first, 0);
  late.noteBlock(second, kScanBlockBytes);
  early.merge(std::move(late));
  const SchemaCatalog catalog;
  EXPECT_EQ(early.pages(catalog, {}), whole.pages(catalog, {}));
  EXPECT_EQ(early.count(), 2u);
}

}  // namespace
}  // namespace orv
