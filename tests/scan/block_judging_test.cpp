#include "scan/block_judging.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/random.h"
#include "platform/clock.h"
#include "scan/candidate_search.h"
#include "scan/deleted_carving.h"
#include "scan/freed_cells.h"
#include "scan/page_header.h"
#include "scan/recording_scan_view.h"

namespace orv {
namespace {

using namespace freed;

// Each kind alone with every column count (and date column) a listed page
// can give: the carving with any parameters the discovery pass can produce
// takes a position only where one of these does.
std::vector<ColumnParameters> EveryListedParameter() {
  std::vector<ColumnParameters> all;
  for (int c = 9; c <= 39; ++c) all.push_back({c, 0, 0, 0});
  for (int c = 15; c <= 39; ++c) all.push_back({0, c, 0, 0});
  for (int c = 14; c <= 39; ++c)
    for (int d = 4; d < c; ++d) all.push_back({0, 0, c, d});
  return all;
}

// Whether the deleted-page pass writes anything for the block under some
// of those parameters, carving every candidate page of it.
bool YieldsUnderSomeParameters(const Bytes& buffer) {
  std::vector<std::size_t> pages;
  ForEachPageCandidate(std::span<const std::uint8_t>(buffer), kScanBlockBytes,
                       [&](std::size_t q) -> std::size_t {
                         if (IsAbandonedPageCandidate(buffer, q)) pages.push_back(q);
                         return q + 1;
                       });
  static const std::vector<ColumnParameters> all = EveryListedParameter();
  for (const ColumnParameters& params : all) {
    ResultTables tables;
    RecordingScanView view;
    AbandonedPageCarving carving(buffer, params);
    for (const std::size_t q : pages)
      carving.carvePage(buffer[q], q + PageHeaderLength(buffer[q]), q, q, tables, view);
    if (tables.rowCount(ResultTable::kDbResult) != 0) return true;
  }
  return false;
}

// A table interior page header with one cell at `at`: a page the deleted-page
// pass carves.
void PutPageHeader(Bytes& buffer, std::size_t at) {
  const std::uint8_t header[] = {0x05, 0, 0, 0, 1, 0x0B, 0xB8, 0, 0, 0, 0, 7, 0x0B, 0xB8};
  std::copy(std::begin(header), std::end(header), buffer.begin() + static_cast<std::ptrdiff_t>(at));
  ASSERT_TRUE(IsAbandonedPageCandidate(buffer, at));
}

void Put(Bytes& buffer, const Bytes& bytes, std::size_t at) {
  std::copy(bytes.begin(),
            bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), buffer.size() - at)),
            buffer.begin() + static_cast<std::ptrdiff_t>(at));
}

// `columns` followed by NULLs up to `count` columns in all (the lost rowid's among them).
std::vector<Column> Padded(std::vector<Column> columns, std::size_t count) {
  columns.resize(count - 1, Null());
  return columns;
}

// A message of `count` columns with its date in column `dateColumn` (after its _id,
// thread_id and address).
std::vector<Column> Message(std::size_t count, std::size_t dateColumn) {
  std::vector<Column> columns = {Int(3, 1), Str("10086")};
  columns.resize(dateColumn - 1, Null());
  columns.push_back(Date(kMarch2011));
  return Padded(columns, count);
}

class YieldJudgingTest : public ::testing::Test {
 protected:
  FixedClock clock_{{1704067200000, 8 * 3600}};
  ScopedClockOverride clockOverride_{clock_};
};

TEST_F(YieldJudgingTest, RecordsOfEveryLayoutAtTheWindowsEdgesKeepTheirBlock) {
  const std::string longName(70, 'Z');  // a two-byte serial type in the header
  struct Case {
    const char* what;
    Bytes cell;
  };
  const Case cases[] = {
      {"call, fewest columns",
       FreedCell(Padded(CallColumns("13800138000", kMarch2011, Null()), 9))},
      {"call, most columns", FreedCell(Padded(CallColumns("13800138000", kMarch2011, Null()), 39))},
      {"call, two-byte type",
       FreedCell(Padded(CallColumns("13800138000", kMarch2011, Str(longName)), 20))},
      {"contacts, fewest columns", FreedCell(Padded(DataColumns(5, Int(3, 1), Str("Li Lei")), 15))},
      {"contacts, most columns",
       FreedCell(Padded(DataColumns(5, Int(3, 1), Str("13912345678")), 39))},
      {"message, fewest columns", FreedCell(Message(14, 4))},
      {"message, latest date column", FreedCell(Message(39, 38))},
      {"message, two-byte type", FreedCell(Padded(SmsColumns("10086", Str(longName)), 20))},
  };
  for (const Case& c : cases) {
    // In the middle of a page, and cut off by the end of the read buffer.
    for (const std::size_t at : {std::size_t{9000}, kReadBufferBytes - c.cell.size() / 2}) {
      Bytes buffer(kReadBufferBytes);
      PutPageHeader(buffer, 8192);
      PutPageHeader(buffer, kScanBlockBytes - 512);
      Put(buffer, c.cell, at);
      const bool yields = YieldsUnderSomeParameters(buffer);
      EXPECT_EQ(yields, at == 9000) << c.what << " at " << at;
      if (yields) {
        EXPECT_TRUE(MayYieldAbandonedRecords(buffer)) << c.what;
      }
    }
  }
}

TEST_F(YieldJudgingTest, NoBlockThatYieldsIsPassedOver) {
  // Letters with one byte in eight drawn from the values anchors and serial
  // types are made of, digits and signs, and freed cells of every kind at
  // random places.
  const Bytes alphabet = Text("0123456789 +abcZ") +
                         Hex("00 01 02 03 04 05 08 09 11 15 1B 25 31 33 38 81 82 FF 2E AE C8");
  const Bytes cells[] = {
      FreedCell(CallColumns("13800138000", kMarch2011, Str("Zhang S"))),
      FreedCell(SmsColumns("10086", Str("Hi"))),
      FreedCell(DataColumns(5, Int(3, 1), Str("13912345678"))),
  };
  int yielding = 0;
  int passedOver = 0;
  for (std::uint64_t seed = 1; seed <= 24; ++seed) {
    fixtures::Rng rng(seed);
    Bytes buffer(kReadBufferBytes);
    for (std::uint8_t& byte : buffer)
      byte = rng.between(0, 7) != 0 ? static_cast<std::uint8_t>('a' + rng.between(0, 25))
                                    : alphabet[static_cast<std::size_t>(rng.between(
                                          0, static_cast<std::int64_t>(alphabet.size()) - 1))];
    // Most seeds plant nothing: their blocks are judged on the noise alone.
    for (int i = 0; i < (seed % 4 == 0 ? 3 : 0); ++i)
      Put(buffer, cells[i], static_cast<std::size_t>(rng.between(0, 60000)));
    for (int i = 0; i < 6; ++i)
      PutPageHeader(buffer, static_cast<std::size_t>(rng.between(0, kScanBlockBytes - 14)));
    const bool yields = YieldsUnderSomeParameters(buffer);
    const bool may = MayYieldAbandonedRecords(buffer);
    if (yields) {
      EXPECT_TRUE(may) << seed;
    }
    yielding += yields;
    passedOver += !may;
  }
  EXPECT_GT(yielding, 0);
  EXPECT_GT(passedOver, 0);  // the test tells blocks apart, it does not keep them all
}

TEST_F(YieldJudgingTest, BarrenAndHostileBlocks) {
  Bytes zeros(kReadBufferBytes);
  PutPageHeader(zeros, 4096);
  EXPECT_FALSE(MayYieldAbandonedRecords(zeros));
  EXPECT_FALSE(MayYieldAbandonedRecords(Bytes(kReadBufferBytes)));  // no candidate page

  // Anchor-like bytes everywhere: the work runs out and the block is kept,
  // whether or not it yields.
  for (const Bytes& pattern : {Hex("00 01 00"), Hex("11 05 00 00"), Hex("03 15 00 00 05")}) {
    Bytes buffer(kReadBufferBytes);
    for (std::size_t at = 0; at + pattern.size() <= buffer.size(); at += pattern.size())
      Put(buffer, pattern, at);
    for (std::size_t at = 512; at + kPageBytes < buffer.size(); at += 512)
      PutPageHeader(buffer, at);
    EXPECT_TRUE(MayYieldAbandonedRecords(buffer));
  }
}

TEST(JudgedWindowsTest, ParametersOutsideTheWindowsNeedEveryBlock) {
  struct Case {
    ColumnParameters params;
    bool within;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, true},   {{9, 15, 14, 4}, true}, {{39, 39, 39, 38}, true},
      {{4, 3, 20, 3}, true},  // kinds too small for their columns are carved by none
      {{8, 0, 0, 0}, false},  // call log
      {{40, 0, 0, 0}, false}, {{0, 14, 0, 0}, false},  // contacts data
      {{0, 40, 0, 0}, false}, {{0, 0, 13, 5}, false},  // messages
      {{0, 0, 40, 5}, false}, {{0, 0, 20, 20}, true},  // no date column inside the record: no
                                                       // messages carved
  };
  for (const Case& c : cases) {
    const ColumnParameters& p = c.params;
    EXPECT_EQ(WithinJudgedWindows(p), c.within)
        << p.callColumns << " " << p.dataColumns << " " << p.smsColumns << " " << p.smsDateColumn;
  }
}

}  // namespace
}  // namespace orv
