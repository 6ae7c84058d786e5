#include "scan/live_cells.h"

#include <gtest/gtest.h>

#include <random>

#include "fixtures/btree_pages.h"
#include "fixtures/sqlite_db.h"
#include "platform/stop_flag.h"
#include "scan/page_header.h"
#include "scan/record_decoder.h"

namespace orv {
namespace {

// A read buffer with cells placed at page offset 0.
class LiveCellsTest : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kReadBufferBytes, 0);

  void Place(std::uint16_t at, std::vector<std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), buffer_.begin() + at);
  }
  PageRecords DecodeAt(std::vector<std::uint16_t> pointers) {
    PageRecords out;
    EXPECT_EQ(DecodeLiveCells(pointers, 0, buffer_, out), LiveCellsOutcome::kCompleted);
    return out;
  }
};

TEST_F(LiveCellsTest, RowidReplacesTheFirstValueAndLengthsCountVarints) {
  // payload 4, rowid 0x81 0x00 = 128, header [3, 0, 1], content 7.
  Place(3000, {4, 0x81, 0x00, 3, 0, 1, 7});
  // A first column stored as an integer still shows the rowid.
  Place(3100, {4, 9, 3, 1, 1, 42, 7});
  const PageRecords page = DecodeAt({3000, 3100});
  ASSERT_EQ(page.records.size(), 2u);
  EXPECT_EQ(page.records[0].record.valuesText(), "128`7");
  EXPECT_EQ(page.records[0].cellLength, 7u);  // 1 + 2 varint bytes + 4 payload
  EXPECT_EQ(page.records[1].record.valuesText(), "9`7");
  EXPECT_EQ(page.columnCounts, std::vector<std::size_t>{2});
  EXPECT_EQ(page.singleColumnCount(), 2u);
}

TEST_F(LiveCellsTest, BadCellsLeaveNoEntry) {
  Place(3000, {0x81, 0x80, 0x01, 1, 2, 0, 1});           // three-byte payload length
  Place(3100, {0, 1, 2, 0, 1});                          // payload length 0
  Place(3200, {4, 1, 0, 0, 1});                          // header length 0
  Place(3300, {4, 0x81, 0x81, 0x81, 0x81, 0x81, 2, 0});  // six-byte rowid
  Place(3400, {5, 1, 3, 0, 1, 1});                       // accepted, two columns
  const PageRecords page = DecodeAt({3000, 3100, 3200, 3300, 3400});
  ASSERT_EQ(page.records.size(), 1u);
  EXPECT_EQ(page.records[0].record.labelsText(), "0,1");
}

TEST_F(LiveCellsTest, DifferentColumnCountsAreAllListed) {
  Place(3000, {3, 1, 2, 0, 1});
  Place(3100, {4, 2, 3, 0, 1, 5});
  Place(3200, {3, 3, 2, 0, 1});
  const PageRecords page = DecodeAt({3000, 3100, 3200});
  EXPECT_EQ(page.columnCounts, (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(page.singleColumnCount(), 0u);
}

TEST_F(LiveCellsTest, CellsRunningPastTheBufferAreSkipped) {
  std::vector<std::uint8_t> small(4096, 0);
  small[4090] = 20;  // payload 20, rowid 1, header 10 ... the buffer ends first
  small[4091] = 1;
  small[4092] = 10;
  PageRecords out;
  EXPECT_EQ(DecodeLiveCells(std::vector<std::uint16_t>{4090}, 0, small, out),
            LiveCellsOutcome::kCompleted);
  EXPECT_TRUE(out.records.empty());
}

// The walk order is the order of the pointers' decimal texts ("40" before
// "400" before "41"), whatever order the array held them in.
TEST(SortCellPointersAsTextTest, MatchesASortOfTheDecimalTexts) {
  std::mt19937 random(4040);
  for (int round = 0; round < 50; ++round) {
    std::vector<std::uint16_t> pointers = {40, 400, 4000, 4, 41, 399, 4095, 10, 100, 1000, 9, 99};
    for (int i = 0; i < 200; ++i) pointers.push_back(static_cast<std::uint16_t>(random() % 4096));
    pointers.push_back(400);  // a duplicate
    std::shuffle(pointers.begin(), pointers.end(), random);
    std::vector<std::string> texts;
    for (const std::uint16_t p : pointers) texts.push_back(std::to_string(p));
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());

    SortCellPointersAsText(pointers);
    ASSERT_EQ(pointers.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
      ASSERT_EQ(std::to_string(pointers[i]), texts[i]) << "round " << round << " at " << i;
  }
}

TEST_F(LiveCellsTest, StopEndsTheModuleBeforeTheNextCell) {
  Place(3000, {3, 1, 2, 0, 1});
  RequestStop();
  PageRecords out;
  EXPECT_EQ(DecodeLiveCells(std::vector<std::uint16_t>{3000}, 0, buffer_, out),
            LiveCellsOutcome::kStopped);
  ClearStop();
  EXPECT_TRUE(out.records.empty());
}

TEST(CellPointerOrderTest, PointersSortAsDecimalTextWithoutDuplicates) {
  std::vector<std::uint16_t> pointers{996, 1000, 3900, 40, 1000, 400};
  SortCellPointersAsText(pointers);
  EXPECT_EQ(pointers, (std::vector<std::uint16_t>{1000, 3900, 40, 400, 996}));
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

// Values of every stored width, texts in Chinese and English, NULLs, and the
// 0 and 1 that schema format 4 stores without content.
std::vector<std::vector<fixtures::Value>> WideRangeRows() {
  using fixtures::Value;
  const std::int64_t integers[] = {0,
                                   1,
                                   -1,
                                   127,
                                   -128,
                                   300,
                                   -32768,
                                   8388607,
                                   -8388608,
                                   2147483647,
                                   -2147483648LL,
                                   140737488355327LL,
                                   1300000000000LL,
                                   9223372036854775807LL,
                                   -9223372036854775807LL - 1};
  const char* texts[] = {"张三", "John Smith", "", "你好,世界\n第二行", "13800138000"};
  std::vector<std::vector<Value>> rows;
  std::int64_t rowid = 1;
  for (const std::int64_t value : integers)
    for (const char* text : texts)
      rows.push_back({Value{rowid++}, Value{value}, Value{std::string(text)}, Value{}});
  return rows;
}

std::string ValueText(const fixtures::Value& value) {
  if (fixtures::IsNull(value)) return "Null";
  if (const auto* number = std::get_if<std::int64_t>(&value))
    return *number == 0 || *number == 1 ? "NoUser" : std::to_string(*number);
  return fixtures::TextOf(value);
}

TEST(LiveCellsSqliteTest, DecodesWhatSqliteStored) {
  fixtures::SqliteDb db;
  db.exec("PRAGMA page_size=4096");
  db.exec("CREATE TABLE t(_id INTEGER PRIMARY KEY, n INTEGER, s TEXT, z TEXT)");
  const auto rows = WideRangeRows();
  db.insertRows("t", rows);
  const auto file = db.serialize();

  std::size_t checked = 0;
  for (const std::uint32_t page : db.leafPages("t")) {
    std::vector<std::uint8_t> buffer(kReadBufferBytes, 0);
    const std::size_t at = fixtures::PageFileOffset(page);
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at), 4096, buffer.begin() + 1000);
    std::vector<std::uint16_t> pointers;
    ASSERT_TRUE(ReadLeafPageCandidate(buffer, 1000, pointers));
    SortCellPointersAsText(pointers);
    PageRecords out;
    ASSERT_EQ(DecodeLiveCells(pointers, 1000, buffer, out), LiveCellsOutcome::kCompleted);
    ASSERT_EQ(out.records.size(), pointers.size());
    EXPECT_EQ(out.columnCounts, std::vector<std::size_t>{4});
    for (const LiveRecord& live : out.records) {
      const auto& values = live.record.values;
      const auto& row = rows.at(static_cast<std::size_t>(std::stoll(values[0]) - 1));
      EXPECT_EQ(values[1], ValueText(row[1]));
      EXPECT_EQ(values[2], ValueText(row[2]));
      EXPECT_EQ(values[3], "Null");
      EXPECT_EQ(live.record.labels[0], '0');  // the rowid alias is stored as NULL
      ++checked;
    }
  }
  EXPECT_EQ(checked, rows.size());
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

// Pointers above the page (the table of keys ends at 4095) sort among the
// others as their texts do.
TEST(CellPointerOrderTest, PointersAtAndPastTheTableEndSortAsText) {
  std::vector<std::uint16_t> pointers{4096, 4095, 65535, 409, 4097, 40960, 5};
  SortCellPointersAsText(pointers);
  EXPECT_EQ(pointers, (std::vector<std::uint16_t>{409, 4095, 4096, 40960, 4097, 5, 65535}));
}

// Decoding headers first and values after gives what decoding both at once
// gives, on random bytes where most cells are rejected.
TEST(LiveCellHeadersTest, HeadersThenValuesEqualTheWholeDecoding) {
  std::mt19937 random(1515);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::uint8_t> buffer(kReadBufferBytes);
    for (auto& byte : buffer)
      byte = static_cast<std::uint8_t>(random() % 4 == 0 ? random() : random() % 24);
    std::vector<std::uint16_t> pointers;
    for (int i = 0; i < 40; ++i) pointers.push_back(static_cast<std::uint16_t>(random() % 4096));
    const std::size_t pageOffset = random() % kScanBlockBytes;
    const bool anyRowid = round % 2 == 1;
    PageRecords whole;
    ASSERT_EQ(DecodeLiveCells(pointers, pageOffset, buffer, whole, anyRowid),
              LiveCellsOutcome::kCompleted);
    PageRecords halves;
    halves.addRecord();  // a slot left from an earlier page is reused cleanly
    halves.clear();
    ASSERT_EQ(DecodeLiveCellHeaders(pointers, pageOffset, buffer, halves, anyRowid),
              LiveCellsOutcome::kCompleted);
    ASSERT_EQ(halves.columnCounts, whole.columnCounts);
    ASSERT_EQ(halves.records.size(), whole.records.size());
    for (const LiveRecord& live : halves.records) EXPECT_TRUE(live.record.values.empty());
    DecodeLiveValues(buffer, halves);
    for (std::size_t i = 0; i < whole.records.size(); ++i) {
      EXPECT_EQ(halves.records[i].record.labels, whole.records[i].record.labels);
      EXPECT_EQ(halves.records[i].record.sizes, whole.records[i].record.sizes);
      EXPECT_EQ(halves.records[i].record.values, whole.records[i].record.values);
      EXPECT_EQ(halves.records[i].cellLength, whole.records[i].cellLength);
    }
  }
}

}  // namespace
}  // namespace orv
