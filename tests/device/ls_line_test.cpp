#include "device/ls_line.h"

#include <gtest/gtest.h>

#include "device/phone_samples.h"

namespace orv {
namespace {

using test::kAllLineEnds;
using test::PhoneSample;
using test::WithLineEnds;

struct LsCase {
  const char* label;
  const char* line;
  LsEntry expected;
};

LsEntry Entry(char type, std::string mode, std::string owner, std::string group,
              std::optional<std::uint64_t> size, std::string date, std::string name,
              std::string target = "", std::optional<DeviceNumbers> device = std::nullopt) {
  LsEntry entry;
  entry.type = type;
  entry.mode = std::move(mode);
  entry.owner = std::move(owner);
  entry.group = std::move(group);
  entry.size = size;
  entry.device = device;
  entry.date = std::move(date);
  entry.name = std::move(name);
  entry.linkTarget = std::move(target);
  return entry;
}

const LsCase kEntries[] = {
    {"toolbox link",
     "lrwxrwxrwx root     root              1970-01-01 20:29 system -> /dev/block/mmcblk0p24",
     Entry('l', "lrwxrwxrwx", "root", "root", std::nullopt, "1970-01-01 20:29", "system",
           "/dev/block/mmcblk0p24")},
    {"toybox link with count and size",
     "lrwxrwxrwx 1 root root  20 2020-11-11 08:00 boot -> /dev/block/mmcblk0p8",
     Entry('l', "lrwxrwxrwx", "root", "root", 20, "2020-11-11 08:00", "boot",
           "/dev/block/mmcblk0p8")},
    {"toolbox file", "-rw-r--r-- root     root          116 1970-01-01 00:00 default.prop",
     Entry('-', "-rw-r--r--", "root", "root", 116, "1970-01-01 00:00", "default.prop")},
    {"toolbox directory", "drwxrwx--x u0_a104  u0_a104           2015-02-02 21:53 cache",
     Entry('d', "drwxrwx--x", "u0_a104", "u0_a104", std::nullopt, "2015-02-02 21:53", "cache")},
    {"toybox directory", "drwxr-xr-x 2 root root 580 2020-11-11 08:00 .",
     Entry('d', "drwxr-xr-x", "root", "root", 580, "2020-11-11 08:00", ".")},
    {"name with blanks", "-rw------- u0_a73   u0_a73      38912 2016-12-02 16:25 Web Data",
     Entry('-', "-rw-------", "u0_a73", "u0_a73", 38912, "2016-12-02 16:25", "Web Data")},
    {"name with two blanks inside and a link target",
     "lrwxrwxrwx root root 2015-02-02 21:52 my  lib -> /data/app lib/x",
     Entry('l', "lrwxrwxrwx", "root", "root", std::nullopt, "2015-02-02 21:52", "my  lib",
           "/data/app lib/x")},
    {"toolbox block device", "brw------- root     root     179,   0 2013-01-01 00:00 mmcblk0",
     Entry('b', "brw-------", "root", "root", std::nullopt, "2013-01-01 00:00", "mmcblk0", "",
           DeviceNumbers{179, 0})},
    {"toybox block device", "brw------- 1 root root 179,  97 2020-11-11 08:00 mmcblk1p1",
     Entry('b', "brw-------", "root", "root", std::nullopt, "2020-11-11 08:00", "mmcblk1p1", "",
           DeviceNumbers{179, 97})},
    {"device numbers in one word", "crw-rw-rw- root root 10,229 2013-01-01 00:00 fuse",
     Entry('c', "crw-rw-rw-", "root", "root", std::nullopt, "2013-01-01 00:00", "fuse", "",
           DeviceNumbers{10, 229})},
    {"busybox date with time", "-rw-r--r--    1 root     root          1234 Nov 11 08:00 a b",
     Entry('-', "-rw-r--r--", "root", "root", 1234, "Nov 11 08:00", "a b")},
    {"busybox date with year", "-rw-r--r--    1 0        0             1234 Nov 11  2020 x",
     Entry('-', "-rw-r--r--", "0", "0", 1234, "Nov 11 2020", "x")},
    {"SELinux dot after the mode and seconds",
     "-rw-r--r--. 1 root root 5 2020-11-11 08:00:59.123456789 f",
     Entry('-', "-rw-r--r--.", "root", "root", 5, "2020-11-11 08:00:59.123456789", "f")},
    {"carriage returns at the end",
     "lrwxrwxrwx root root 2015-02-02 21:52 lib -> /data/app-lib/x\r\r",
     Entry('l', "lrwxrwxrwx", "root", "root", std::nullopt, "2015-02-02 21:52", "lib",
           "/data/app-lib/x")},
};

TEST(ParseLsLine, ReadsEveryLayout) {
  for (const LsCase& c : kEntries) {
    const auto entry = ParseLsLine(c.line);
    ASSERT_TRUE(entry.has_value()) << c.label;
    EXPECT_EQ(*entry, c.expected) << c.label;
  }
}

TEST(ParseLsLine, RefusesLinesThatAreNoEntry) {
  for (const char* line : {
           "", "total 0", "./app_webview:", ".:", "ls: /x: No such file or directory",
           "lrwxrwxrwx root root 2015-02-02 21:52",                         // no name
           "lrwxrwxrwx root root 2015-02-02 21:52 ",                        // a blank, no name
           "lrwxrwxrwx root root",                                          // cut short
           "xrwxrwxrwx root root 2015-02-02 21:52 name",                    // unknown type
           "brw------- root root 179 2013-01-01 00:00 mmcblk0",             // device without comma
           "brw------- root root 179, x 2013-01-01 00:00 mmcblk0",          // minor not a number
           "-rw-r--r-- a b c d e 2013-01-01 00:00 name",                    // too many owners
           "-rw-r--r-- root root 99999999999999999999 2013-01-01 00:00 n",  // size overflow
       }) {
    EXPECT_FALSE(ParseLsLine(line).has_value()) << line;
  }
}

// Every entry line of every real listing is read; only totals, headings and
// empty lines are not.
TEST(ParseLsLine, ReadsEveryRealListing) {
  struct Listing {
    const char* phone;
    const char* file;
    int entries;
    int links;
  };
  const Listing listings[] = {
      {"freescale-imx6q-sabresd-android-4.0.4", "ls-l-root.txt", 27, 6},
      {"huawei-g740-l00-android-4.1.2", "ls-l-by-name.txt", 26, 26},
      {"mediatek-mt6580-k80bsp-headunit-android-8.1.0", "ls-l-by-name.txt", 29, 27},
      {"samsung-sm-x200-android-11", "ls-al-by-name.txt", 58, 56},
      {"nvidia-shield-tablet-android-4.4-probable", "ls-l-data.txt", 9, 1},
      {"unknown-android-4.x-insecurebank-ls", "ls-lR-data.txt", 11, 1},
  };
  for (const Listing& listing : listings) {
    const std::string text = PhoneSample(listing.phone, listing.file);
    int entries = 0, links = 0, others = 0;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      const std::string_view line(text.data() + start, end - start);
      if (const auto entry = ParseLsLine(line)) {
        ++entries;
        if (entry->type == 'l') {
          ++links;
          EXPECT_EQ(entry->linkTarget.front(), '/') << line;
        }
      } else if (!line.empty() && !line.starts_with("total") && !line.ends_with(":")) {
        ++others;
        ADD_FAILURE() << "not read: " << line;
      }
      start = end + 1;
    }
    EXPECT_EQ(entries, listing.entries) << listing.file;
    EXPECT_EQ(links, listing.links) << listing.file;
    EXPECT_EQ(others, 0);
  }
}

TEST(LinkTargetOf, FindsTheFirstLinkWhateverTheLineEnds) {
  const std::string text = PhoneSample("huawei-g740-l00-android-4.1.2", "ls-l-by-name.txt");
  for (const auto end : kAllLineEnds) {
    EXPECT_EQ(LinkTargetOf(WithLineEnds(text, end)), "/dev/block/mmcblk0p6")
        << test::LineEndName(end);
  }
  EXPECT_EQ(LinkTargetOf("total 0\r\r\nlrwxrwxrwx 1 root root 21 2020-11-11 08:00 system -> "
                         "/dev/block/mmcblk0p22\r\r\n"),
            "/dev/block/mmcblk0p22");
  EXPECT_EQ(LinkTargetOf("brw------- root root 179,  24 2013-01-01 00:00 mmcblk0p24\r\n"),
            std::nullopt);
  EXPECT_EQ(LinkTargetOf(""), std::nullopt);
  EXPECT_EQ(LinkTargetOf("ls: /dev/block/x: No such file or directory -> y"), std::nullopt);
}

}  // namespace
}  // namespace orv
