// The carving of deleted cells with a learned layout on hand-made pages:
// cells whose first four bytes SQLite overwrote when it freed them, with the
// varint lengths real cells have, and records whose header survived.

#include <gtest/gtest.h>

#include "scan/create_table.h"
#include "scan/learned_carving.h"

namespace orv {
namespace {

constexpr std::size_t kPage = 1024;
constexpr std::int64_t kDate = 1546300800000;  // 2019-01-01

TableLayout CallsLayout() {
  return *MapTableLayout(
      *ParseCreateTable("CREATE TABLE calls (_id INTEGER PRIMARY KEY, number TEXT, date INTEGER, "
                        "duration INTEGER, type INTEGER, name TEXT)"),
      LayoutSource::kSchema);
}

// The record of a call: header-length byte, serial types, content.
std::vector<std::uint8_t> CallRecord(const std::string& number, std::int64_t date,
                                     const std::string& name) {
  std::vector<std::uint8_t> header = {0x00,  // the rowid alias, NULL
                                      static_cast<std::uint8_t>(13 + 2 * number.size()),
                                      6,
                                      1,
                                      1,
                                      static_cast<std::uint8_t>(13 + 2 * name.size())};
  std::vector<std::uint8_t> record;
  record.reserve(1 + header.size() + number.size() + 8 + 2 + name.size());
  record.push_back(static_cast<std::uint8_t>(header.size() + 1));
  record.insert(record.end(), header.begin(), header.end());
  record.insert(record.end(), number.begin(), number.end());
  for (int shift = 56; shift >= 0; shift -= 8) record.push_back((date >> shift) & 0xFF);
  record.push_back(45);  // duration
  record.push_back(2);   // type
  record.insert(record.end(), name.begin(), name.end());
  return record;
}

struct CellCase {
  const char* what;
  std::size_t varintBytes;  // payload-length and rowid varints together
  bool freed;               // first four bytes overwritten
  std::int64_t date;
  std::size_t carved;
};

TEST(LearnedCarvingTest, FreedCellsAreRebuiltFromTheLayout) {
  const std::vector<CellCase> cases = {
      {"header-length byte and first serial type overwritten", 2, true, kDate, 1},
      {"header-length byte overwritten", 3, true, kDate, 1},
      {"header intact behind four bytes of varints", 4, true, kDate, 1},
      {"a record that never was freed", 2, false, kDate, 1},
      {"a date before 2000 is no call", 2, true, 946684799999, 0},
      {"the first date of 2000 is", 2, true, 946684800000, 1},
  };
  const TableLayout layout = CallsLayout();
  for (const CellCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> page(kPage, 0);
    const auto record = CallRecord("13800138000", c.date, "Анна");
    const std::size_t at = 600;
    std::vector<std::uint8_t> cell(c.varintBytes, 0x01);
    cell.insert(cell.end(), record.begin(), record.end());
    if (c.freed) {
      cell[0] = cell[1] = 0;
      cell[2] = static_cast<std::uint8_t>(cell.size() >> 8);
      cell[3] = static_cast<std::uint8_t>(cell.size() & 0xFF);
    }
    std::copy(cell.begin(), cell.end(), page.begin() + at);
    const auto carved =
        CarveLayoutRecords(page, {{8, static_cast<std::uint32_t>(kPage)}}, layout, {});
    ASSERT_EQ(carved.size(), c.carved);
    if (c.carved == 0) continue;
    EXPECT_EQ(carved[0].values[1], "13800138000");
    EXPECT_EQ(carved[0].values[2], std::to_string(c.date));
    EXPECT_EQ(carved[0].values[5], "Анна");
  }
}

TEST(LearnedCarvingTest, FreeRegionsLeaveOutTheHeaderThePointersAndLiveCells) {
  std::vector<std::uint8_t> page(kPage, 0);
  PageRecords records;
  records.records.push_back({DecodedRecord{}, 100});
  records.records.push_back({DecodedRecord{}, 24});
  const std::vector<std::uint16_t> pointers = {900, 700};
  const auto regions = FreeRegionsOf(page, pointers, records);
  ASSERT_EQ(regions.size(), 3u);
  EXPECT_EQ(regions[0].start, 12u);  // 8 header bytes and two pointers
  EXPECT_EQ(regions[0].end, 700u);
  EXPECT_EQ(regions[1].start, 724u);
  EXPECT_EQ(regions[1].end, 900u);
  EXPECT_EQ(regions[2].start, 1000u);
  EXPECT_EQ(regions[2].end, kPage);
  records.records.pop_back();  // a cell that gave no record: its extent is unknown
  EXPECT_TRUE(FreeRegionsOf(page, pointers, records).empty());
}

}  // namespace
}  // namespace orv
