#include "results/list_order.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(ListOrderTest, ChineseSortsInPinyinOrderAndAsciiLettersFold) {
  // 啊 B0A1, 阿 B0A2, 李 C0EE, 张 D5C5 in GBK.
  EXPECT_LT(CompareListText("啊", "阿"), 0);
  EXPECT_LT(CompareListText("阿", "李四"), 0);
  EXPECT_LT(CompareListText("李四", "张三"), 0);
  EXPECT_LT(CompareListText("zebra", "张三"), 0);  // ASCII before double-byte text
  EXPECT_EQ(CompareListText("Li Lei", "li lei"), 0);
  EXPECT_LT(CompareListText("apple", "Banana"), 0);
  // Field order: a shorter first field sorts first, the backtick being below
  // every letter once letters are folded to lower case.
  EXPECT_LT(CompareListText("ab`z", "abc`a"), 0);
}

TEST(ListOrderTest, TrailBytesOfChineseCharactersAreNotFolded) {
  // 丄 is 81 41 and 乤 is 81 61 in GBK: their trail bytes look like 'A' and 'a'.
  EXPECT_NE(CompareListText("丄", "乤"), 0);
  EXPECT_NE(CompareListText("癆", "癮"), 0);  // B0 41 and B0 61
}

TEST(ListOrderTest, CharactersOutsideGbkStayDistinct) {
  EXPECT_NE(CompareListText("好😀", "好😁"), 0);
  EXPECT_NE(CompareListText("a\xff", "a\xfe"), 0);  // invalid UTF-8 keeps its bytes
  EXPECT_EQ(CompareListText("A\xff", "a\xff"), 0);
}

// Keys compare as the column's kind: numbers by value, dates by time, and
// cells of another kind after them in text order.
TEST(ListOrderTest, ColumnKeysOrderCellsByTheColumnsKind) {
  const struct {
    ColumnOrder order;
    const char* before;
    const char* after;
  } cases[] = {
      {ColumnOrder::kNumber, "27", "1003"},
      {ColumnOrder::kNumber, "9", "10"},
      {ColumnOrder::kNumber, "-10", "-9"},
      {ColumnOrder::kNumber, "-1", "0"},
      {ColumnOrder::kNumber, "9223372036854775807", "x"},
      {ColumnOrder::kNumber, "-9223372036854775808", "-9223372036854775807"},
      {ColumnOrder::kNumber, "1", "9223372036854775808"},  // beyond 64 bits: text
      {ColumnOrder::kNumber, "5", ""},
      {ColumnOrder::kNumber, "5", " 5"},
      {ColumnOrder::kNumber, "100", "1.5"},
      {ColumnOrder::kDateTime, "2011-9-3 08:00:00", "2011-10-25 07:28:33"},
      {ColumnOrder::kDateTime, "2011-10-25 7:28:33", "2011-10-25 17:28:33"},
      {ColumnOrder::kDateTime, "2011-10-25 17:28:33", "2011-10-25 17:28:34"},
      {ColumnOrder::kDateTime, "2099-12-31 23:59:59", "Null"},
      {ColumnOrder::kDateTime, "2099-12-31 23:59:59", "2011-10-25 17:28:333"},
      {ColumnOrder::kDateTime, "2099-12-31 23:59:59", "11-10-25 17:28:33"},
      {ColumnOrder::kDateTime, "2099-12-31 23:59:59", "2011-10-25 17:28"},
      {ColumnOrder::kText, "1003", "27"},
      {ColumnOrder::kText, "apple", "Banana"},
  };
  for (const auto& c : cases) {
    EXPECT_LT(ColumnOrderKey(c.before, c.order), ColumnOrderKey(c.after, c.order))
        << c.before << " < " << c.after;
  }
  EXPECT_EQ(ColumnOrderKey("2011-9-3 8:0:0", ColumnOrder::kDateTime),
            ColumnOrderKey("2011-09-03 08:00:00", ColumnOrder::kDateTime));
  EXPECT_EQ(ColumnOrderKey("Li", ColumnOrder::kText), ColumnOrderKey("li", ColumnOrder::kText));
}

TEST(SortedEntryListTest, KeepsOrderAndDropsEntriesEqualUnderTheOrder) {
  SortedEntryList list;
  EXPECT_TRUE(list.add({"张三", "13800000000"}));
  EXPECT_TRUE(list.add({"Bob", "10086"}));
  EXPECT_FALSE(list.add({"BOB", "10086"}));
  EXPECT_TRUE(list.add({"阿", "1"}));
  EXPECT_FALSE(list.add({"张三", "13800000000"}));
  const std::vector<ListEntry> expected = {{"Bob", "10086"}, {"阿", "1"}, {"张三", "13800000000"}};
  EXPECT_EQ(list.entries(), expected);  // the first of equal entries stays
}

}  // namespace
}  // namespace orv
