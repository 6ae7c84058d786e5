// Write-ahead log headers and frames on hand-made bytes.

#include "scan/wal_frames.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

void PutBigEndian32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

std::vector<std::uint8_t> Header(std::uint32_t magic, std::uint32_t version,
                                 std::uint32_t pageBytes) {
  std::vector<std::uint8_t> bytes(kWalHeaderBytes, 0);
  PutBigEndian32(bytes, 0, magic);
  PutBigEndian32(bytes, 4, version);
  PutBigEndian32(bytes, 8, pageBytes);
  PutBigEndian32(bytes, 16, 0x11111111);
  PutBigEndian32(bytes, 20, 0x22222222);
  return bytes;
}

TEST(WalFramesTest, HeadersNeedTheMagicTheVersionAndAPageSize) {
  struct Case {
    std::uint32_t magic, version, pageBytes;
    bool log;
  };
  for (const Case& c : std::vector<Case>{{0x377f0682, 3007000, 4096, true},
                                         {0x377f0683, 3007000, 4096, true},
                                         {0x377f0684, 3007000, 4096, false},
                                         {0x377f0682, 3007001, 4096, false},
                                         {0x377f0682, 3007000, 512, true},
                                         {0x377f0682, 3007000, 256, false},
                                         {0x377f0682, 3007000, 65536, true},
                                         {0x377f0682, 3007000, 131072, false},
                                         {0x377f0682, 3007000, 3072, false}}) {
    const auto log = ReadWalHeader(Header(c.magic, c.version, c.pageBytes), 512);
    EXPECT_EQ(log.has_value(), c.log) << std::hex << c.magic << " " << std::dec << c.pageBytes;
    if (log) {
      EXPECT_EQ(log->salt2, 0x22222222u);
    }
  }
  const auto whole = Header(0x377f0682, 3007000, 4096);
  EXPECT_FALSE(ReadWalHeader(std::span(whole).first(kWalHeaderBytes - 1), 0));
}

TEST(WalFramesTest, FramesEndAtTheFirstWithOtherSalts) {
  constexpr std::uint32_t kPage = 512;
  auto bytes = Header(0x377f0682, 3007000, kPage);
  auto frame = [&](std::uint32_t page, std::uint32_t commit, std::uint32_t salt1) {
    const std::size_t at = bytes.size();
    bytes.resize(at + kWalFrameHeaderBytes + kPage, 0);
    PutBigEndian32(bytes, at, page);
    PutBigEndian32(bytes, at + 4, commit);
    PutBigEndian32(bytes, at + 8, salt1);
    PutBigEndian32(bytes, at + 12, 0x22222222);
  };
  frame(2, 0, 0x11111111);
  frame(3, 3, 0x11111111);
  frame(2, 3, 0x11111111);
  frame(3, 0, 0x11111111);  // never committed
  frame(2, 3, 0x11111110);  // of an earlier round
  auto log = *ReadWalHeader(bytes, 0);
  NoteWalFrames(log, bytes, 0, bytes.size());
  ASSERT_EQ(log.frames.size(), 4u);
  EXPECT_TRUE(log.ended);
  const std::uint64_t frameBytes = kWalFrameHeaderBytes + kPage;
  auto pageOf = [&](std::uint64_t frame) { return 32 + frame * frameBytes + 24; };
  EXPECT_EQ(log.frames[1].pageOffset, pageOf(1));
  EXPECT_TRUE(log.frames[1].commit);
  // The database file at 100000: its pages 2 and 3 and the frames 0 and 3
  // are older than the committed frames 1 (page 3) and 2 (page 2).
  EXPECT_EQ(SupersededPages(log, 100000),
            (std::set<std::uint64_t>{pageOf(0), pageOf(3), 100000 + kPage, 100000 + 2 * kPage}));
  EXPECT_EQ(SupersededPages(log, std::nullopt), (std::set<std::uint64_t>{pageOf(0), pageOf(3)}));
}

}  // namespace
}  // namespace orv
