#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {
namespace {

std::string Bytes(std::initializer_list<unsigned> bytes) {
  std::string out;
  for (unsigned b : bytes) out += static_cast<char>(b);
  return out;
}

TEST(TextCodecTest, Utf8ValidationRejectsMalformedSequences) {
  EXPECT_TRUE(IsValidUtf8("张三 John"));
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));        // emoji
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));        // U+10FFFF, the last code point
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));               // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));           // UTF-16 surrogate
  EXPECT_FALSE(IsValidUtf8("\xE5\xBC"));               // cut short
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));       // beyond U+10FFFF
  EXPECT_FALSE(IsValidUtf8(std::string("a\x80", 2)));  // stray continuation byte
}

// Every two-byte sequence (lead 0x81..0xFE, trail 0x40..0x7E and 0x80..0xFE)
// decodes to one character that encodes back to the same two bytes.
TEST(TextCodecTest, EveryTwoByteSequenceRoundTrips) {
  int cells = 0;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string gb = Bytes({lead, trail});
      const auto utf8 = Gb18030ToUtf8(gb);
      ASSERT_TRUE(utf8) << std::hex << lead << trail;
      EXPECT_EQ(Utf8ToGb18030(*utf8), gb) << std::hex << lead << trail;
      ++cells;
    }
  }
  EXPECT_EQ(cells, 126 * 190);
}

std::string FourBytes(std::uint32_t index, unsigned firstLead) {
  return Bytes({firstLead + index / 12600, 0x30 + index / 1260 % 10, 0x81 + index / 10 % 126,
                0x30 + index % 10});
}

// A sample of the four-byte BMP sequences 0x81308130..0x8431A439: each one that
// decodes encodes back to itself. A few in 0x8431A439's last lead byte row
// stand for no character at all.
TEST(TextCodecTest, FourByteBmpSequencesRoundTrip) {
  int decoded = 0;
  for (std::uint32_t index = 0; index < 39420; index += 7) {
    const std::string gb = FourBytes(index, 0x81);
    const auto utf8 = Gb18030ToUtf8(gb);
    if (!utf8) continue;
    EXPECT_EQ(Utf8ToGb18030(*utf8), gb) << index;
    ++decoded;
  }
  EXPECT_GT(decoded, 5600);
  EXPECT_EQ(*Gb18030ToUtf8("\x81\x30\x81\x30"), "\xC2\x80");      // U+0080, the first
  EXPECT_EQ(*Gb18030ToUtf8("\x84\x31\xA4\x39"), "\xEF\xBF\xBF");  // U+FFFF, the last
  EXPECT_FALSE(Gb18030ToUtf8("\x84\x31\xA5\x30"));                // one past it
}

TEST(TextCodecTest, FourByteSupplementarySequencesRoundTrip) {
  for (std::uint32_t index = 0; index <= 0x10FFFF - 0x10000; index += 4099) {
    const std::string gb = FourBytes(index, 0x90);
    const auto utf8 = Gb18030ToUtf8(gb);
    ASSERT_TRUE(utf8) << index;
    EXPECT_EQ(Utf8ToGb18030(*utf8), gb) << index;
  }
  EXPECT_EQ(*Utf8ToGb18030("\xF4\x8F\xBF\xBF"), "\xE3\x32\x9A\x35");  // U+10FFFF
  EXPECT_FALSE(Gb18030ToUtf8("\xE3\x32\x9A\x36"));                    // past U+10FFFF
}

// The handful of characters beyond the BMP that have a two-byte form take it;
// their four-byte form still reads.
TEST(TextCodecTest, SupplementaryCharactersWithATwoByteForm) {
  const std::string u20087 = "\xF0\xA0\x82\x87";
  EXPECT_EQ(*Utf8ToGb18030(u20087), "\xFE\x51");
  EXPECT_EQ(*Gb18030ToUtf8("\xFE\x51"), u20087);
  EXPECT_EQ(*Gb18030ToUtf8("\x95\x32\x90\x31"), u20087);
  EXPECT_EQ(AnsiLength(u20087), 2u);
}

// The bytes iconv (glibc 2.36) gives for these texts, checked once.
TEST(TextCodecTest, ChineseTextsGiveTheBytesIconvGives) {
  struct Case {
    const char* utf8;
    const char* gb;
  };
  static const Case kCases[] = {
      {"张伟", "\xd5\xc5\xce\xb0"},
      {"王芳", "\xcd\xf5\xb7\xbc"},
      {"欧阳娜娜", "\xc5\xb7\xd1\xf4\xc4\xc8\xc4\xc8"},
      {"诸葛亮", "\xd6\xee\xb8\xf0\xc1\xc1"},
      {"您好，明天见！", "\xc4\xfa\xba\xc3\xa3\xac\xc3\xf7\xcc\xec\xbc\xfb\xa3\xa1"},
      {"【中国移动】验证码123456",
       "\xa1\xbe\xd6\xd0\xb9\xfa\xd2\xc6\xb6\xaf\xa1\xbf\xd1\xe9\xd6\xa4\xc2\xeb"
       "123456"},
      {"€·—…", "\xa2\xe3\xa1\xa4\xa1\xaa\xa1\xad"},
      {"ㄅ", "\xa8\xc5"},
      {"䶮", "\xfe\x9f"},
      {"\xF0\xA0\x80\x87", "\x95\x32\x83\x33"},  // U+20007
      {"😀", "\x94\x39\xfc\x36"},
      {"Zoë ẞ", "Zo\x81\x30\x8a\x35 \x81\x35\xfe\x32"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Utf8ToGb18030(c.utf8), std::string(c.gb)) << c.utf8;
    EXPECT_EQ(Gb18030ToUtf8(c.gb), std::string(c.utf8)) << c.utf8;
  }
}

TEST(TextCodecTest, TextBeyondGbkSurvivesInGb18030) {
  const std::string text = "李雷 Zoë 😀 ẞ 𠀇 ok";
  const EncodedText encoded = EncodeGb18030(text);
  EXPECT_EQ(encoded.unconverted, 0u);
  EXPECT_EQ(Gb18030ToUtf8(encoded.bytes), text);
}

TEST(TextCodecTest, InvalidSequencesAreReported) {
  static const char* const kInvalid[] = {
      "\x80",              // no single byte above ASCII
      "\xFF",              //
      "a\x81",             // lead byte at the end
      "\x81\x3F",          // trail below 0x40
      "\x81\x7F",          // the gap in the trail bytes
      "\x81\xFF",          // trail above 0xFE
      "\x81\x30",          // four-byte sequence cut short
      "\x81\x30\x81",      //
      "\x81\x30\x80\x30",  // third byte below 0x81
      "\x81\x30\x81\x3A",  // fourth byte above 0x39
      "\x85\x30\x81\x30",  // between the BMP and the supplementary planes
  };
  for (const char* gb : kInvalid) EXPECT_FALSE(Gb18030ToUtf8(gb)) << gb;
  EXPECT_EQ(*Gb18030ToUtf8("\x81\x40"), "丂");
  EXPECT_EQ(*Gb18030ToUtf8("\x81\x7E"), "亊");            // 0x7E: last before the gap
  EXPECT_EQ(*Gb18030ToUtf8("\x81\x80"), "亐");            // 0x80: first after it
  EXPECT_EQ(*Gb18030ToUtf8("\xFE\xFE"), "\xEE\x93\x85");  // U+E4C5, the last cell

  // Encoding: malformed UTF-8 and characters without a form are counted.
  const EncodedText malformed = EncodeGb18030(
      "a\xC0\xAF"
      "b");
  EXPECT_EQ(malformed.bytes, "a??b");
  EXPECT_EQ(malformed.unconverted, 2u);
  const EncodedText noForm = EncodeGb18030("王\xEE\x9E\x8D");  // U+E78D
  EXPECT_EQ(noForm.bytes, "\xCD\xF5?");
  EXPECT_EQ(noForm.unconverted, 1u);
  EXPECT_FALSE(Utf8ToGb18030("\xEE\x9E\x8D"));
  EXPECT_FALSE(Utf8ToGb18030("\xC0\xAF"));
}

TEST(TextCodecTest, AnsiLengthCountsGbkBytes) {
  EXPECT_EQ(AnsiLength("13800138000"), 11u);
  EXPECT_EQ(AnsiLength("张三"), 4u);
  EXPECT_EQ(AnsiLength("a张"), 3u);
  EXPECT_EQ(AnsiLength("😀"), 4u);
  EXPECT_EQ(AnsiLength("\xEE\x9E\x8D"), 1u);  // written as one "?"
}

TEST(TextCodecTest, FileEncodings) {
  EXPECT_EQ(EncodeForFile("王", FileEncoding::kGb18030).bytes, "\xCD\xF5");
  EXPECT_EQ(EncodeForFile("王", FileEncoding::kUtf8WithBom).bytes, "王");
  const EncodedText utf8 = EncodeForFile("a\xC0", FileEncoding::kUtf8WithBom);
  EXPECT_EQ(utf8.bytes, "a\xC0");
  EXPECT_EQ(utf8.unconverted, 0u);
  EXPECT_EQ(ParseFileEncoding("utf-8"), FileEncoding::kUtf8WithBom);
  EXPECT_EQ(ParseFileEncoding("gb18030"), FileEncoding::kGb18030);
  EXPECT_FALSE(ParseFileEncoding("latin1"));
}

}  // namespace
}  // namespace orv
