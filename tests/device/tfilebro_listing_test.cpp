#include <gtest/gtest.h>

#include "device/phone_samples.h"
#include "device/tfilebro.h"

namespace orv {
namespace {

using test::kAllLineEnds;
using test::PhoneSample;
using test::WithLineEnds;

TEST(ReadFolderListing, ToolboxFolderOfAnApp) {
  for (const test::LineEnd end : kAllLineEnds) {
    const FolderListing listing = ReadFolderListing(
        "/data/data/dji.pilot",
        WithLineEnds(PhoneSample("nvidia-shield-tablet-android-4.4-probable", "ls-l-data.txt"),
                     end));
    EXPECT_EQ(
        listing.folders,
        (std::vector<std::string>{"/data/data/dji.pilot/GLCache", "/data/data/dji.pilot/RegionCode",
                                  "/data/data/dji.pilot/app_webview", "/data/data/dji.pilot/cache",
                                  "/data/data/dji.pilot/databases", "/data/data/dji.pilot/files",
                                  "/data/data/dji.pilot/shared_prefs"}))
        << test::LineEndName(end);
    EXPECT_EQ(
        listing.files,
        (std::vector<FileRow>{
            {"lib", "", "2015-02-02 21:52", "/data/app-lib/dji.pilot-1", "/data/data/dji.pilot"},
            {"owned", "5", "2015-02-03 08:37", "", "/data/data/dji.pilot"}}));
  }
}

TEST(ReadFolderListing, ToyboxLinksAndTheDotEntries) {
  const FolderListing listing = ReadFolderListing(
      "/dev/block/by-name",
      PhoneSample("mediatek-mt6580-k80bsp-headunit-android-8.1.0", "ls-l-by-name.txt"));
  EXPECT_TRUE(listing.folders.empty());  // "." and ".." are no subfolders
  ASSERT_EQ(listing.files.size(), 27u);
  EXPECT_EQ(listing.files[0], (FileRow{"boot", "20", "2020-11-11 08:00", "/dev/block/mmcblk0p8",
                                       "/dev/block/by-name"}));
}

TEST(ReadFolderListing, BlanksDevicesEmptyFilesAndDatabases) {
  const std::string lines =
      "-rw-rw---- system system 98304 2013-05-01 12:34 contacts2.db\r\r\n"
      "-rw-rw---- system system 0 2013-05-01 12:34 my notes.txt\r\r\n"
      "brw------- root root 179,   0 2013-05-01 12:34 mmcblk0\r\r\n"
      "drwxrwx--x system system 2013-05-01 12:34 two words\r\r\n"
      "total 8\r\r\n";
  const FolderListing listing = ReadFolderListing("/", lines);
  EXPECT_EQ(listing.folders, (std::vector<std::string>{"/two words"}));
  ASSERT_EQ(listing.files.size(), 3u);
  EXPECT_EQ(listing.files[0].size, "98304");
  EXPECT_EQ(FileRowImage(listing.files[0]), kFileImageDatabase);
  EXPECT_EQ(listing.files[1].name, "my notes.txt");
  EXPECT_EQ(listing.files[1].size, "0");
  EXPECT_EQ(FileRowImage(listing.files[1]), kFileImageOther);
  EXPECT_EQ(listing.files[2].size, "179, 0");
}

TEST(ReadFolderListing, HostileNamesAreShownAsData) {
  const std::string lines =
      "-rw-rw---- u0_a1 u0_a1 1 2013-05-01 12:34 a;touch PWNED\n"
      "drwxrwx--x u0_a1 u0_a1 2013-05-01 12:34 $(reboot)\n"
      "-rw-rw---- u0_a1 u0_a1 1 2013-05-01 12:34 it's \"x\"\n";
  const FolderListing listing = ReadFolderListing("/data", lines);
  EXPECT_EQ(listing.folders, (std::vector<std::string>{"/data/$(reboot)"}));
  ASSERT_EQ(listing.files.size(), 2u);
  EXPECT_EQ(listing.files[0].name, "a;touch PWNED");
  EXPECT_EQ(listing.files[1].name, "it's \"x\"");
}

}  // namespace
}  // namespace orv
