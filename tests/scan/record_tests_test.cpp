#include "scan/record_tests.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace orv {
namespace {

// 2016-06-01 00:00:00 UTC, a UTC+8 system.
constexpr std::int64_t kNowMillis = 1464739200000;
const FixedClock kClock({kNowMillis, 8 * 3600});

TEST(RecordTestsTest, PhoneNumbers) {
  struct Case {
    const char* text;
    bool expected;
  } cases[] = {
      {"+86 138 0013 8000", true},  // plus, 13 digits, 3 blanks
      {"12", false},                // too short
      {"1 2 3 4 5 6", false},       // 6 digits, 5 blanks
      {"110abcdef", true},          // the count stops at the first letter
      {"10086", true},
      {"13800138000", true},
      {"+8613912345678", true},
      {"abc", false},
      {"1234567890123456789012345", false},  // 25 characters
      {"12 ", false},                        // 2 digits, 1 blank
      {"", false},
      {"张三丰", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsPhoneNumber(c.text), c.expected) << c.text;
}

TEST(RecordTestsTest, PersonNames) {
  EXPECT_TRUE(IsPersonName("张三"));
  EXPECT_TRUE(IsPersonName("John Smith"));
  EXPECT_TRUE(IsPersonName("A"));
  EXPECT_FALSE(IsPersonName("12345"));
  EXPECT_FALSE(IsPersonName(""));
  EXPECT_FALSE(IsPersonName("abcdefghijkl"));       // 12 characters
  EXPECT_TRUE(IsPersonName("abcdefghijk"));         // 11
  EXPECT_FALSE(IsPersonName("，。"));               // full-width punctuation: 0xA3AC, 0xA1A3
  EXPECT_TRUE(IsPersonName("1\xF0\x9F\x98\x80x"));  // an emoji counts as one non-qualifying char
  EXPECT_FALSE(IsPersonName("\xC0\xAF"));
}

TEST(RecordTestsTest, RecordDatesRelativeToTheFixedClock) {
  ScopedClockOverride guard(kClock);
  EXPECT_FALSE(IsRecordDate("1199511627776"));
  EXPECT_TRUE(IsRecordDate("1199511627777"));
  EXPECT_TRUE(IsRecordDate(std::to_string(kNowMillis)));
  // The local clock reads eight hours ahead of UTC.
  EXPECT_TRUE(IsRecordDate(std::to_string(kNowMillis + 7 * 3600 * 1000)));
  EXPECT_FALSE(IsRecordDate(std::to_string(kNowMillis + 24LL * 3600 * 1000)));
  EXPECT_FALSE(IsRecordDate("1"));
  EXPECT_FALSE(IsRecordDate("13000000000a0"));
  EXPECT_FALSE(IsRecordDate("NoUser"));
  EXPECT_FALSE(IsRecordDate("99999999999999999999"));
}

TEST(RecordTestsTest, DatesRenderEightHoursAhead) {
  EXPECT_EQ(FormatRecordDate("1300000000000"), "2011-03-13 15:06:40");
  EXPECT_EQ(FormatRecordDate("0"), "1970-01-01 08:00:00");
  EXPECT_FALSE(FormatRecordDate("Null"));
  EXPECT_FALSE(FormatRecordDate("9223372036854775807"));
}

}  // namespace
}  // namespace orv
