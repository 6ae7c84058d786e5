#include "scan/page_classifier.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace orv {
namespace {

// 2016-06-01 UTC on a UTC+8 system.
const FixedClock kClock({1464739200000, 8 * 3600});

// A record from a label string ("0,T,5,...") and backtick-joined values.
LiveRecord Record(std::string_view labels, std::string_view values, std::uint32_t length = 40) {
  LiveRecord live{{}, length};
  std::size_t v = 0;
  for (std::size_t i = 0; i < labels.size(); i += 2) {
    const std::size_t end = std::min(values.find('`', v), values.size());
    live.record.append(labels[i], 0, std::string(values.substr(v, end - v)));
    v = end + 1;
  }
  return live;
}

PageRecords Page(std::vector<LiveRecord> records) {
  PageRecords page;
  for (auto& r : records) {
    const std::size_t k = r.record.columnCount();
    if (std::find(page.columnCounts.begin(), page.columnCounts.end(), k) == page.columnCounts.end())
      page.columnCounts.push_back(k);
    page.records.push_back(std::move(r));
  }
  std::sort(page.columnCounts.begin(), page.columnCounts.end());
  return page;
}

// A call-log record of the 4.0 layout trimmed to 12 columns.
LiveRecord Call(std::string id, std::string number, std::string date, std::string name = "张三") {
  return Record("0,T,5,2,1,8,T,1,0,T,0,8", id + "`" + number + "`" + date + "`300`2`NoUser`" +
                                               name + "`2`Null`CN`Null`NoUser");
}

// A message record of 17 columns: date at 4, status -1 at 8, type at 9.
LiveRecord Sms(std::string id, std::string address, std::string date, std::string type,
               std::string body) {
  return Record("0,1,T,0,5,1,8,8,1,1,8,0,T,0,8,8,8",
                id + "`3`" + address + "`Null`" + date + "`0`NoUser`NoUser`-1`" + type +
                    "`NoUser`Null`" + body + "`Null`NoUser`NoUser`NoUser");
}

// A contacts-data record of 16 columns.
LiveRecord Data(std::string id, std::string mimetype, std::string rawContact, std::string data1,
                char mimeLabel = '1') {
  std::string labels = "0,0,";
  labels += mimeLabel;
  labels += ",1,8,8,T,0,0,0,0,0,0,0,0,0";
  return Record(labels, id + "`Null`" + mimetype + "`" + rawContact + "`NoUser`NoUser`" + data1 +
                            "`Null`Null`Null`Null`Null`Null`Null`Null`Null");
}

TEST(PageClassifierTest, CallPagesNeedAPhoneNumberAndAPastDate) {
  ScopedClockOverride guard(kClock);
  EXPECT_EQ(classifyPage(Page({Call("1", "13800138000", "1300000000000")})), PageKind::kCall);
  // A date after now does not classify; a later record of the page still can.
  EXPECT_FALSE(classifyPage(Page({Call("1", "13800138000", "1500000000000")})));
  EXPECT_EQ(classifyPage(Page(
                {Call("1", "13800138000", "1500000000000"), Call("2", "10086", "1400000000000")})),
            PageKind::kCall);
  EXPECT_FALSE(classifyPage(Page({Call("1", "ab", "1300000000000")})));
}

TEST(PageClassifierTest, MessageAndDataPages) {
  ScopedClockOverride guard(kClock);
  EXPECT_EQ(classifyPage(Page({Sms("1", "10086", "1300000000000", "1", "hi")})), PageKind::kSms);
  EXPECT_EQ(classifyPage(Page({Data("1", "5", "1", "张三"), Data("2", "7", "1", "13800138000")})),
            PageKind::kData);
  // A mimetype beyond 20 ends the check: not a data page.
  EXPECT_FALSE(classifyPage(Page({Data("1", "25", "1", "张三")})));
  // The last record's raw_contact_id decides.
  EXPECT_FALSE(classifyPage(Page({Data("1", "5", "1", "张三"), Data("2", "5", "x", "李四")})));
}

// The labels-only test the discovery pass makes before any value is read:
// it must let through every page classifyPage names, and may turn away only
// pages it names none for.
TEST(PageClassifierTest, MayClassifyLetsEveryClassifiablePageThrough) {
  ScopedClockOverride guard(kClock);
  struct Case {
    const char* what;
    PageRecords page;
    bool may;
  };
  const LiveRecord call = Call("1", "13800138000", "1300000000000");
  Case cases[] = {
      {"a call page", Page({call}), true},
      {"a message page", Page({Sms("1", "10086", "1300000000000", "1", "hi")}), true},
      {"a data page", Page({Data("1", "5", "1", "张三")}), true},
      // The labels fit but the values do not: only classifyPage can tell.
      {"a call layout with a future date", Page({Call("1", "13800138000", "1500000000000")}), true},
      {"a call layout of 8 columns (too few)",
       Page({Record("0,T,5,2,1,8,T,1", "1`13800138000`1300000000000`300`2`NoUser`x`2")}), false},
      {"other labels of 12 columns",
       Page({Record("0,T,T,T,1,8,T,1,0,T,0,8", "1`a`b`c`2`NoUser`x`2`Null`CN`Null`NoUser")}),
       false},
      {"two column counts", Page({call, Data("2", "5", "1", "张三")}), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MayClassify(c.page), c.may) << c.what;
    if (!MayClassify(c.page)) {
      EXPECT_FALSE(classifyPage(c.page)) << c.what;
    }
  }
}

TEST(PageClassifierTest, ColumnParametersTakeTheMostCommonCounts) {
  auto row = [](std::string flag, std::string count, std::string dateColumn = "") {
    return TableRow{"1", "0", "", count, "4096", "4096", flag, "0D", dateColumn, ""};
  };
  const ColumnParameters params =
      computeColumnParameters({row("Call", "17"), row("Call", "17"), row("Call", "9"),
                               row("Sms", "17", "4"), row("Sms", "17", "4"), row("Sms", "17", "5"),
                               row("Sms", "19", "5"), row("Data", "27"), row("Sms", "bad", "5")});
  EXPECT_EQ(params.callColumns, 17);
  EXPECT_EQ(params.smsColumns, 17);
  EXPECT_EQ(params.smsDateColumn, 4);
  EXPECT_EQ(params.dataColumns, 27);
  const ColumnParameters none = computeColumnParameters({});
  EXPECT_FALSE(none.anyKnown());
}

TEST(PageExtractionTest, CallRows) {
  ScopedClockOverride guard(kClock);
  ResultTables tables;
  ASSERT_TRUE(extractPageRecords(
      PageKind::kCall,
      Page({Call("7", "13800138000", "1300000000000"), Call("8", "10086", "1300000000000", "CN"),
            Call("9", "1", "1300000000000"), Call("-1", "110", "1100000000000"),
            Call("10", "95588", "1300000000000", "中国")}),
      "3", tables));
  const auto rows = tables.rows(ResultTable::kFuck2);
  ASSERT_EQ(rows.size(), 3u);  // a short number and an old deleted record are left out
  EXPECT_EQ(rows[0], (TableRow{"1", "7", "13800138000", "2011-03-13 15:06:40", "", "300", "", "2",
                               "张三", "Call", "3"}));
  EXPECT_EQ(rows[1][fuck2::kName], "");  // the country in the name's place
  EXPECT_EQ(rows[2][fuck2::kName], "");
  // A live record whose date is no number ends the page.
  EXPECT_FALSE(
      extractPageRecords(PageKind::kCall, Page({Call("1", "10086", "Null")}), "3", tables));
}

TEST(PageExtractionTest, SmsRowsTakeTheirTypeAfterTheStatusColumn) {
  ScopedClockOverride guard(kClock);
  ResultTables tables;
  EXPECT_TRUE(extractPageRecords(PageKind::kSms,
                                 Page({Sms("4", "10086", "1300000000000", "2", "a,b\nc"),
                                       Sms("-1", "10010", "1300000000000", "1", "你好")}),
                                 "2", tables));
  const auto rows = tables.rows(ResultTable::kFuck3);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (TableRow{"1", "4", "10086", "2011-03-13 15:06:40", "2", "", "a,b\nc", "", "",
                               "Sms", "2"}));
  EXPECT_EQ(rows[1][fuck3::kDel], "DEL");
  EXPECT_EQ(rows[1][fuck3::kSmsType], "1");

  // No status column on the page: every row gets type "3".
  LiveRecord noStatus = Sms("5", "10086", "1300000000000", "2", "x");
  noStatus.record.values[8] = "0";
  ResultTables other;
  EXPECT_TRUE(extractPageRecords(PageKind::kSms, Page({noStatus}), "1", other));
  EXPECT_EQ(other.row(ResultTable::kFuck3, 0)[fuck3::kSmsType], "3");
}

TEST(PageExtractionTest, DataRows) {
  ResultTables tables;
  EXPECT_TRUE(
      extractPageRecords(PageKind::kData,
                         Page({Data("1", "5", "3", "张三", '8'), Data("2", "4", "3", "13800138000"),
                               Data("3", "7", "NoUser", "13800138000"), Data("4", "7", "3", "，，"),
                               Data("5", "7", "3", "abcdefghijkl")}),
                         "6", tables));
  const auto rows = tables.rows(ResultTable::kFuck1);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (TableRow{"1", "1", "1", "3", "张三", "Name", "6", ""}));
  EXPECT_EQ(rows[1], (TableRow{"2", "3", "", "1", "13800138000", "Tel", "6", ""}));
}

TEST(PageGapsTest, GapsBeforeBetweenAndAfterCells) {
  // Two cells: 3000..3040 and 3040..3100 touch; 3500..3600 leaves gaps.
  const std::vector<std::uint16_t> pointers{3000, 3040, 3500};
  PageRecords page =
      Page({Record("0,1", "1`2", 40), Record("0,1", "1`2", 60), Record("0,1", "1`2", 100)});
  const PageGaps gaps = computePageGaps(pointers, page, 2);
  ASSERT_EQ(gaps.size(), 3u);
  EXPECT_EQ(gaps[0].start, 14u);  // after the 3-pointer array
  EXPECT_EQ(gaps[0].end, 3000u);
  EXPECT_EQ(gaps[1].start, 3101u);
  EXPECT_EQ(gaps[1].end, 3500u);
  EXPECT_EQ(gaps[2].start, 3600u);
  EXPECT_EQ(gaps[2].end, 4096u);

  // A gap of exactly K + 2 bytes is not listed.
  const std::vector<std::uint16_t> tight{4000, 4044};
  const PageGaps none =
      computePageGaps(tight, Page({Record("0,1", "1`2", 40), Record("0,1", "1`2", 52)}), 2);
  ASSERT_EQ(none.size(), 1u);  // only the space before the first cell
  EXPECT_EQ(none[0].end, 4000u);

  // A cell that gave no record: the whole page after its header.
  const PageGaps whole = computePageGaps(pointers, Page({Record("0,1", "1`2")}), 2);
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_EQ(whole[0].start, 8u);
  EXPECT_EQ(whole[0].end, 4096u);
}

}  // namespace
}  // namespace orv
