#include "imaging/file_mode.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct ModeCase {
  const char* text;
  std::optional<FileMode> mode;
};

TEST(ParseModeText, ReadsEveryBitIncludingSpecialOnes) {
  const ModeCase cases[] = {
      {"-rw-rw----", 0660},  {"-rwxr-x--x", 0751},  {"-rwsr-x---", 04750}, {"-rw-r--r-T", 01644},
      {"-rwSr-Sr-t", 07645}, {"-rwxr-sr-x", 02755}, {"----------", 0},     {"-rwxrwxrwx", 0777},
      {"drwxrwx--x", 0771},  {"-rw-rw----+", 0660}, {"-rw-r--r--.", 0644},
  };
  for (const ModeCase& c : cases) {
    EXPECT_EQ(ParseModeText(c.text), c.mode) << c.text;
  }
}

TEST(ParseModeText, RefusesOtherShapes) {
  const char* bad[] = {"",           "-rw-rw---",  "-rw-rw-----", "-rw-rw----x", "-rwtrw----",
                       "-rw-rw---s", "-rw-rw-?--", "-xw-rw----",  "-rr-rw----",  "total 8"};
  for (const char* text : bad) EXPECT_EQ(ParseModeText(text), std::nullopt) << text;
}

TEST(FormatMode, WritesFourOctalDigits) {
  EXPECT_EQ(FormatMode(0660), "0660");
  EXPECT_EQ(FormatMode(04750), "4750");
  EXPECT_EQ(FormatMode(01644), "1644");
  EXPECT_EQ(FormatMode(0), "0000");
}

TEST(ReadableByOthers, AddsOnlyTheReadBit) {
  EXPECT_EQ(ReadableByOthers(0660), 0664u);
  EXPECT_EQ(ReadableByOthers(0751), 0755u);
  EXPECT_EQ(ReadableByOthers(04750), 04754u);
  EXPECT_EQ(ReadableByOthers(01644), 01644u);
}

}  // namespace
}  // namespace orv
