#include "device/line_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/phone_samples.h"

namespace orv {
namespace {

using test::kAllLineEnds;
using test::WithLineEnds;

using Lines = std::vector<std::string_view>;

TEST(SplitLinesTest, EveryLineEndGivesTheSameLines) {
  const struct {
    const char* lfText;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"\n", {""}},
      {"one", {"one"}},
      {"one\n", {"one"}},
      {"one\ntwo", {"one", "two"}},
      {"one\n\ntwo\n", {"one", "", "two"}},
      {"MemTotal:  1027424 kB\nMemFree:  48656 kB\n",
       {"MemTotal:  1027424 kB", "MemFree:  48656 kB"}},
      {"\n\n", {"", ""}},
      {"  lead and trail  \n", {"  lead and trail  "}},
  };
  for (const test::LineEnd end : kAllLineEnds) {
    for (const auto& c : cases) {
      const std::string text = WithLineEnds(c.lfText, end);
      SCOPED_TRACE(testing::PrintToString(text));
      EXPECT_EQ(SplitLines(text), c.lines);
    }
  }
}

TEST(SplitLinesTest, CarriageReturnsOutsideLineEndsStay) {
  EXPECT_EQ(SplitLines("a\rb\nc\r"), (Lines{"a\rb", "c\r"}));
  EXPECT_EQ(SplitLines(std::string_view("a\0b\r\nc", 6)),
            (Lines{std::string_view("a\0b", 3), "c"}));
}

TEST(ValueAfterKeyTest, TakesTheRestOfTheKeysLine) {
  const std::string buildProp = "ro.build.id=FROYO\nro.product.model=GT-P1010\r\r\nro.x=\n";
  const std::string cpuinfo = "Processor\t: ARMv7\r\nHardware\t: herring\r\nRevision\t: 0030";
  const struct {
    const std::string& text;
    const char* key;
    std::optional<std::string_view> value;
  } cases[] = {
      {buildProp, "ro.product.model=", "GT-P1010"},
      {buildProp, "ro.build.id=", "FROYO"},
      {buildProp, "ro.x=", ""},
      {buildProp, "ro.missing=", std::nullopt},
      {buildProp, "", std::nullopt},
      {cpuinfo, "Hardware\t:", " herring"},
      {cpuinfo, "Revision\t:", " 0030"},
      {cpuinfo, "Hardware :", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(ValueAfterKey(c.text, c.key), c.value);
  }
}

TEST(WordsTest, BlanksSeparateWords) {
  const struct {
    const char* line;
    Lines words;
  } cases[] = {
      {"", {}},
      {" \t ", {}},
      {"df", {"df"}},
      {"/dev/block/vold/179:9 /mnt/sdcard vfat rw",
       {"/dev/block/vold/179:9", "/mnt/sdcard", "vfat", "rw"}},
      {"  179        0    7757824 mmcblk0\r", {"179", "0", "7757824", "mmcblk0"}},
      {"a\tb\r\r\n", {"a", "b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Words(c.line), c.words);
  }
}

TEST(TrimBlanksTest, DropsBlanksAndLineEndsAtBothEnds) {
  EXPECT_EQ(TrimBlanks("  permission denied\r\r\n"), "permission denied");
  EXPECT_EQ(TrimBlanks("\t\r\n"), "");
  EXPECT_EQ(TrimBlanks("a b"), "a b");
}

}  // namespace
}  // namespace orv
