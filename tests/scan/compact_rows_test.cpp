#include "scan/compact_rows.h"

#include <gtest/gtest.h>

#include <numeric>

namespace orv {
namespace {

std::vector<std::string> Read(const CompactRows& rows, std::size_t index) {
  std::vector<std::string_view> cells(rows.columns());
  rows.read(index, cells);
  return {cells.begin(), cells.end()};
}

std::vector<std::string_view> Views(const std::vector<std::string>& cells) {
  return {cells.begin(), cells.end()};
}

TEST(CompactRowsTest, CellsComeBackAsWritten) {
  const std::string withNul("a\0b", 3);
  const std::string lengthLimit1(127, 'x');   // the longest length of one byte
  const std::string lengthLimit2(128, 'y');   // the shortest of two
  const std::string overBlock(3 << 20, 'z');  // longer than the largest block
  struct Case {
    const char* name;
    std::vector<std::string> given;
    std::vector<std::string> stored;
  };
  const Case cases[] = {
      {"every cell", {"1", "2", "3"}, {"1", "2", "3"}},
      {"empty cells", {"", "x", ""}, {"", "x", ""}},
      {"missing cells are empty", {"1"}, {"1", "", ""}},
      {"no cells", {}, {"", "", ""}},
      {"cells past the columns are dropped", {"1", "2", "3", "4"}, {"1", "2", "3"}},
      {"NUL bytes", {withNul, "", withNul}, {withNul, "", withNul}},
      {"length at one byte's limit",
       {lengthLimit1, lengthLimit2, "-"},
       {lengthLimit1, lengthLimit2, "-"}},
      {"a cell longer than a block", {"1", overBlock, "3"}, {"1", overBlock, "3"}},
      {"UTF-8 text", {"张三", "13800138000", "短信"}, {"张三", "13800138000", "短信"}},
  };
  CompactRows rows(3);
  for (const Case& c : cases) rows.append(Views(c.given));
  // Read after all are written, so later blocks do not disturb earlier rows.
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Read(rows, i), cases[i].stored) << cases[i].name;
    std::vector<std::string_view> decoded(3);
    const std::string copy(rows.encoded(i));
    CompactRows::Decode(copy, decoded);
    EXPECT_EQ(std::vector<std::string>(decoded.begin(), decoded.end()), cases[i].stored)
        << cases[i].name << " (a copy of the stored row)";
  }
}

TEST(CompactRowsTest, ReplaceReorderAndRemoveKeepTheOtherRows) {
  CompactRows rows(2);
  for (int i = 0; i < 5; ++i) rows.append(Views({std::to_string(i), "v" + std::to_string(i)}));
  rows.replace(1, Views({"1", std::string(300, 'w')}));
  const std::vector<std::size_t> reversed = {4, 3, 2, 1, 0};
  rows.reorder(reversed);
  EXPECT_EQ(rows.remove({true, false, true, false, false}), 2u);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(Read(rows, 0), (std::vector<std::string>{"3", "v3"}));
  EXPECT_EQ(Read(rows, 1), (std::vector<std::string>{"1", std::string(300, 'w')}));
  EXPECT_EQ(Read(rows, 2), (std::vector<std::string>{"0", "v0"}));
  rows.clear();
  EXPECT_EQ(rows.size(), 0u);
  EXPECT_EQ(rows.blockBytes(), 0u);
}

TEST(CompactRowsTest, CompactionReclaimsWasteOnlyWhenItOutweighsTheRowsAndABlock) {
  const std::string cell(1000, 'c');  // 1002 bytes stored, as is each replacement
  struct Case {
    int rows;
    int replaced;  // rows written anew, each leaving its old bytes as waste
    bool compacts;
  };
  const Case cases[] = {
      {2000, 2000, false},  // waste equal to the rows
      {2000, 2001, true},   // waste just past the rows
      {10, 30, false},      // past the rows, but less than a block
  };
  for (const Case& c : cases) {
    CompactRows rows(1);
    for (int i = 0; i < c.rows; ++i) rows.append(Views({cell}));
    for (int i = 0; i < c.replaced; ++i)
      rows.replace(static_cast<std::size_t>(i % c.rows),
                   Views({cell.substr(1) + std::to_string(i % 10)}));
    rows.compactIfWasteful();
    EXPECT_EQ(rows.wasteBytes() == 0, c.compacts) << c.rows << " rows, " << c.replaced;
    for (std::size_t i = 0; i < rows.size(); ++i) ASSERT_EQ(Read(rows, i)[0].size(), 1000u);
  }
}

}  // namespace
}  // namespace orv
