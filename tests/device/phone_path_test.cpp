#include "device/phone_path.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {
namespace {

TEST(PhonePathTest, AcceptsPathsMadeOfSafeCharacters) {
  const std::string accepted[] = {
      "/",
      "/sdcard",
      "/sdcard/",
      "/dev/block/mmcblk0p23",
      "/dev/block/vold/179:9",
      "/dev/block/platform/msm_sdcc.1/by-name/userdata",
      "/data/data/com.android.providers.contacts/databases/contacts2.db",
      "/mnt/sdcard/DCIM/Camera/IMG_20130501_120000.jpg",
      "/sdcard/backup-2013,05,01+copy@phone",
      "/storage/emulated/0/微信/图片",
      "/sdcard/Ünïcödé.txt",
      "/sdcard/.hidden",
      "/sdcard/..two-dots-in-a-name",
      "/sdcard/a..b",
      "/sdcard//double",
      "/apex/com.android.os.statsd@331111000",
      "/" + std::string(kMaxPhonePathBytes - 1, 'a'),
  };
  for (const auto& path : accepted) {
    SCOPED_TRACE(path.substr(0, 80));
    EXPECT_EQ(PhonePathProblem(path), "");
    EXPECT_TRUE(IsSafePhonePath(path));
  }
}

TEST(PhonePathTest, RefusesEverythingAShellWouldReadAsMore) {
  const std::string refused[] = {
      "",
      "sdcard/x",
      "./x",
      "~/x",
      "/sdcard/$(reboot)",
      "/sdcard/`reboot`",
      "/sdcard/a\"b",
      "/sdcard/a'b",
      "/sdcard/x;y",
      "/sdcard/a;touch PWNED",
      "/sdcard/x|y",
      "/sdcard/x&y",
      "/sdcard/x>y",
      "/sdcard/x<y",
      "/sdcard/x\\y",
      "/sdcard/x\ny",
      "/sdcard/x\ry",
      "/sdcard/x\ty",
      "/sdcard/two words",
      "/sdcard/*",
      "/sdcard/?",
      "/sdcard/[ab]",
      "/sdcard/{a,b}",
      "/sdcard/$HOME",
      "/sdcard/#x",
      "/sdcard/x=y",
      "/sdcard/100%",
      "/sdcard/x!",
      "/sdcard/(x)",
      "/sdcard/x^y",
      "/sdcard/~x",
      std::string("/sdcard/x\0y", 11),
      "/sdcard/..",
      "/sdcard/../system",
      "/sdcard/./x",
      "/..",
      "/sdcard/\xff\xfe",
      "/sdcard/\xc0\xaf",      // overlong "/"
      "/sdcard/\xed\xa0\x80",  // a surrogate
      "/sdcard/\xe4\xb8",      // cut short
      "/sdcard/a\xc2\xa0"
      "b",  // no-break space
      "/sdcard/a\xe3\x80\x80"
      "b",  // ideographic space
      "/sdcard/a\xe2\x80\x8b"
      "b",  // zero-width space
      "/sdcard/a\xe2\x80\xae"
      "b",                 // right-to-left override
      "/sdcard/\xc2\x85",  // next line (C1 control)
      "/" + std::string(kMaxPhonePathBytes, 'a'),
  };
  for (const auto& path : refused) {
    SCOPED_TRACE(PrintableForLog(path.substr(0, 80)));
    EXPECT_NE(PhonePathProblem(path), "");
    EXPECT_FALSE(IsSafePhonePath(path));
  }
}

TEST(PrintableForLogTest, ShowsControlsAndBadBytesAsEscapes) {
  const struct {
    std::string raw;
    std::string shown;
  } cases[] = {
      {"/sdcard/a;b", "/sdcard/a;b"},
      {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
      {"back\\slash", "back\\\\slash"},
      {std::string("nul\0", 4), "nul\\x00"},
      {"\xff\xfe", "\\xFF\\xFE"},
      {"微信", "微信"},
      {"\x7f", "\\x7F"},
  };
  for (const auto& c : cases) EXPECT_EQ(PrintableForLog(c.raw), c.shown);
}

}  // namespace
}  // namespace orv
