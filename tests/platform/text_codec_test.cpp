#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(TextCodecTest, Utf8ValidationRejectsMalformedSequences) {
  EXPECT_TRUE(IsValidUtf8("张三 John"));
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));        // emoji
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));               // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));           // UTF-16 surrogate
  EXPECT_FALSE(IsValidUtf8("\xE5\xBC"));               // cut short
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));       // beyond U+10FFFF
  EXPECT_FALSE(IsValidUtf8(std::string("a\x80", 2)));  // stray continuation byte
}

TEST(TextCodecTest, Gb18030IsGbkForGbkCharactersAndLosslessForTheRest) {
  EXPECT_EQ(*Utf8ToGb18030("张三"), "\xD5\xC5\xC8\xFD");  // GBK bytes
  const auto emoji = Utf8ToGb18030("\xF0\x9F\x98\x80");
  ASSERT_TRUE(emoji);
  EXPECT_EQ(emoji->size(), 4u);
  EXPECT_EQ(*Gb18030ToUtf8(*emoji), "\xF0\x9F\x98\x80");
  EXPECT_FALSE(Utf8ToGb18030("\xC0\xAF"));
}

TEST(TextCodecTest, AnsiLengthCountsGbkBytes) {
  EXPECT_EQ(AnsiLength("13800138000"), 11u);
  EXPECT_EQ(AnsiLength("张三"), 4u);
  EXPECT_EQ(AnsiLength("a张"), 3u);
}

TEST(TextCodecTest, FileEncodings) {
  EXPECT_EQ(EncodeForFile("王", FileEncoding::kGb18030), "\xCD\xF5");
  EXPECT_EQ(EncodeForFile("王", FileEncoding::kUtf8WithBom), "王");
  EXPECT_EQ(ParseFileEncoding("utf-8"), FileEncoding::kUtf8WithBom);
  EXPECT_EQ(ParseFileEncoding("gb18030"), FileEncoding::kGb18030);
  EXPECT_FALSE(ParseFileEncoding("latin1"));
}

}  // namespace
}  // namespace orv
