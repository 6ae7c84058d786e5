#include "imaging/free_space_text.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct FreeCase {
  const char* text;
  SpaceReportUnits units;
  std::optional<std::int64_t> kib;
};

constexpr auto kLetters = SpaceReportUnits::kWithUnitLetter;
constexpr auto kBlocks = SpaceReportUnits::kKibBlocks;

TEST(ParseFreeSpaceKib, ReadsUnitsAsDecimalsRoundedDown) {
  const FreeCase cases[] = {
      {"2G", kLetters, 2097152},
      {"512M", kLetters, 524288},
      {"300K", kLetters, 300},
      {"2048B", kLetters, 2},
      {"2047B", kLetters, 1},
      {"1023B", kLetters, 0},
      {"1.2G", kLetters, 1258291},   // 1258291.2
      {"7.4G", kLetters, 7759462},   // 7759462.4
      {"511.2M", kLetters, 523468},  // 523468.8
      {"0K", kLetters, 0},
      {"2048G", kLetters, 2147483648},  // past 32 bits
      {"1.5T", kLetters, 1610612736},
      {" 12.0M\r", kLetters, 12288},
      {"1.23456789G", kLetters, 1294537},  // six fraction digits kept: 1.234567 G
  };
  for (const FreeCase& c : cases) {
    EXPECT_EQ(ParseFreeSpaceKib(c.text, c.units), c.kib) << c.text;
  }
}

TEST(ParseFreeSpaceKib, BareNumbersCountOnlyInTheBlocksLayout) {
  EXPECT_EQ(ParseFreeSpaceKib("1024", kBlocks), 1024);
  EXPECT_EQ(ParseFreeSpaceKib("1024", kLetters), std::nullopt);
  EXPECT_EQ(ParseFreeSpaceKib("1.5", kBlocks), std::nullopt);
  EXPECT_EQ(ParseFreeSpaceKib("7759462G", kBlocks), 7759462LL * 1048576);
}

TEST(ParseFreeSpaceKib, RefusesWhatIsNotASize) {
  const char* bad[] = {"",     "G",   ".G",  "1..2G", "1.2.3G", "-1G",
                       "1,2G", "1 G", "12X", "GB",    "12GB",   "9999999999999999999T",
                       "1e3K"};
  for (const char* text : bad) {
    EXPECT_EQ(ParseFreeSpaceKib(text, kLetters), std::nullopt) << text;
    EXPECT_EQ(ParseFreeSpaceKib(text, kBlocks), std::nullopt) << text;
  }
}

TEST(ParseFreeSpaceKib, LargestValueFitsAndOneMoreDoesNot) {
  EXPECT_EQ(ParseFreeSpaceKib("9223372036854775807K", kLetters), INT64_MAX);
  EXPECT_EQ(ParseFreeSpaceKib("9223372036854775808K", kLetters), std::nullopt);
  EXPECT_EQ(ParseFreeSpaceKib("8589934591G", kLetters), 8589934591LL * 1048576);
  EXPECT_EQ(ParseFreeSpaceKib("8796093022208G", kLetters), std::nullopt);  // 2^63 KiB
}

}  // namespace
}  // namespace orv
