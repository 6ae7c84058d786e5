#include "scan/record_decoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace orv {
namespace {

// A read buffer holding `bytes` at `at`, zero elsewhere.
std::vector<std::uint8_t> BufferWith(std::vector<std::uint8_t> bytes, std::size_t at = 100) {
  std::vector<std::uint8_t> buffer(kReadBufferBytes, 0);
  std::copy(bytes.begin(), bytes.end(), buffer.begin() + static_cast<std::ptrdiff_t>(at));
  return buffer;
}

std::optional<DecodedRecord> Decode(std::vector<std::uint8_t> bytes, std::uint64_t payload = 200) {
  const auto buffer = BufferWith(std::move(bytes));
  return DecodeRecord(buffer, 100, payload);
}

TEST(RecordDecoderTest, RendersEverySerialType) {
  // Header: length 13, types 0,1,2,3,4,6,7,8,9,10,11,19 (text of 3 bytes).
  const auto r = Decode({13,   0,    1,    2,    3, 4, 6, 7, 8, 9, 10, 11, 19,
                         0xFF,                                // -1
                         0x80, 0x00,                          // -32768
                         0xFF, 0xFF, 0xFE,                    // -2
                         0x7F, 0xFF, 0xFF, 0xFF,              // 2147483647
                         0x80, 0,    0,    0,    0, 0, 0, 0,  // int64 min
                         0x3F, 0xF0, 0,    0,    0, 0, 0, 0,  // double 1.0, read as integer
                         'a',  'b',  'c'});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->labelsText(), "0,1,2,3,4,6,7,8,8,8,8,T");
  EXPECT_EQ(r->sizesText(), "0,1,2,3,4,8,8,0,0,0,0,3");
  EXPECT_EQ(r->valuesText(),
            "Null`-1`-32768`-2`2147483647`-9223372036854775808`4607182418800017408`NoUser`NoUser`"
            "NoUser`NoUser`abc");
}

TEST(RecordDecoderTest, SixByteIntegersAreNeverNegative) {
  const auto positive = Decode({3, 0, 5, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  ASSERT_TRUE(positive);
  EXPECT_EQ(positive->values[1], "140737488355327");
  EXPECT_FALSE(Decode({3, 0, 5, 0x80, 0, 0, 0, 0, 0}));
  // A call date of 2015: 1430000000000 ms.
  const auto date = Decode({2, 5, 0x01, 0x4C, 0xF6, 0x1D, 0x37, 0x00});
  ASSERT_TRUE(date);
  EXPECT_EQ(date->values[0], std::to_string(0x014CF61D3700LL));
}

TEST(RecordDecoderTest, TwoByteSerialTypes) {
  // 0x81 0x00 is 128: an even BLOB type of (128 - 12) / 2 = 58 bytes, never read.
  const auto blob = Decode({4, 0, 0x81, 0x00});
  ASSERT_TRUE(blob);
  EXPECT_EQ(blob->labelsText(), "0,B");
  EXPECT_EQ(blob->sizes[1], 58u);
  EXPECT_EQ(blob->values[1], "BLOB");
  EXPECT_FALSE(Decode({3, 0x80, 0x0B}));        // 11 written in two bytes
  EXPECT_FALSE(Decode({4, 0x81, 0x81, 0x01}));  // a three-byte serial type
}

TEST(RecordDecoderTest, RejectsBadHeaders) {
  EXPECT_FALSE(Decode({0, 1, 1}));     // header length 0
  EXPECT_FALSE(Decode({0x80, 1, 1}));  // header length with its top bit set
  EXPECT_FALSE(Decode({1}));           // no columns
}

TEST(RecordDecoderTest, BlobsAndTextsLongerThanThePayloadAreRejected) {
  EXPECT_FALSE(Decode({2, 33, 'x'}, /*payload=*/5));  // a 10-byte text in a 5-byte payload
  EXPECT_FALSE(Decode({2, 32}, /*payload=*/5));       // a 10-byte BLOB
  EXPECT_TRUE(Decode({2, 33}, /*payload=*/10));
}

TEST(RecordDecoderTest, InvalidUtf8GivesAnEmptyValueButKeepsTheRecord) {
  const auto r = Decode({3, 0, 17, 0xC0, 0xAF});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->values[1], "");
  const auto chinese = Decode({2, 19, 0xE5, 0xBC, 0xA0});
  ASSERT_TRUE(chinese);
  EXPECT_EQ(chinese->values[0], "张");
}

TEST(RecordDecoderTest, NeverReadsPastTheBuffer) {
  // A record at the very end: the header fits, the content may not.
  std::vector<std::uint8_t> buffer(kReadBufferBytes, 0);
  const std::size_t at = kReadBufferBytes - 4;  // content starts at the last byte
  buffer[at] = 3;
  buffer[at + 1] = 0;
  buffer[at + 2] = 6;  // an 8-byte integer running past the end
  EXPECT_FALSE(DecodeRecord(buffer, at, 100));
  buffer[at + 2] = 1;  // a 1-byte integer in the last byte
  EXPECT_TRUE(DecodeRecord(buffer, at, 100));
  buffer[at + 2] = 13;  // an empty text is taken
  EXPECT_TRUE(DecodeRecord(buffer, at, 100));
  buffer[at + 2] = 15;  // a text must end one byte short of the buffer's end
  EXPECT_FALSE(DecodeRecord(buffer, at, 100));
  // A header length running past the end, a serial type split by the end.
  buffer[kReadBufferBytes - 2] = 100;
  buffer[kReadBufferBytes - 1] = 0x81;
  EXPECT_FALSE(DecodeRecord(buffer, kReadBufferBytes - 2, 100));
  EXPECT_FALSE(DecodeRecord(buffer, kReadBufferBytes, 100));
}

}  // namespace
}  // namespace orv
