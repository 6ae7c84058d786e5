#include "scan/live_cells.h"

#include <gtest/gtest.h>

#include "platform/stop_flag.h"
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
  Place(3000, {0x81, 0x80, 0x01, 1, 2, 0, 1});         // three-byte payload length
  Place(3100, {0, 1, 2, 0, 1});                        // payload length 0
  Place(3200, {4, 1, 0, 0, 1});                        // header length 0
  Place(3300, {4, 0x81, 0x81, 0x81, 0x81, 0x81, 2, 0});  // six-byte rowid
  Place(3400, {5, 1, 3, 0, 1, 1});                     // accepted, two columns
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
  DecodeLiveCells(std::vector<std::uint16_t>{4090}, 0, small, out);
  EXPECT_TRUE(out.records.empty());
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
