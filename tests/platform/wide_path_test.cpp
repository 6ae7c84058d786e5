// Windows only: how paths are handed to the W file calls.

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace orv::win32 {
namespace {

TEST(WidePathTest, ShortPathsStayAsTheyAre) {
  EXPECT_EQ(ToWidePath("C:/镜像/a.img"), L"C:/镜像/a.img");
  EXPECT_EQ(ToWidePath("out"), L"out");
  EXPECT_EQ(ToWidePath(R"(\\.\PhysicalDrive0)"), LR"(\\.\PhysicalDrive0)");
  EXPECT_FALSE(ToWidePath(std::string("a\0b", 3)));
}

TEST(WidePathTest, LongPathsGetThePrefix) {
  const std::string name(kLongPathLength, 'x');
  const std::wstring wideName(kLongPathLength, L'x');
  EXPECT_EQ(ToWidePath("C:/data/" + name), LR"(\\?\C:\data\)" + wideName);
  EXPECT_EQ(ToWidePath(R"(\\server\share\)" + name), LR"(\\?\UNC\server\share\)" + wideName);
  EXPECT_EQ(ToWidePath("C:/a/../b/" + name), LR"(\\?\C:\b\)" + wideName);
  // One short of the limit keeps its form; at the limit it is prefixed.
  const std::string shorter = "C:/" + std::string(kLongPathLength - 4, 'y');
  EXPECT_EQ(ToWidePath(shorter)->substr(0, 3), L"C:/");
  EXPECT_EQ(ToWidePath(shorter + "y")->substr(0, 7), LR"(\\?\C:\)");
  // A relative one becomes absolute.
  const auto relative = ToWidePath(name);
  ASSERT_TRUE(relative);
  EXPECT_TRUE(relative->starts_with(LR"(\\?\)"));
  EXPECT_TRUE(relative->ends_with(L"\\" + wideName));
}

TEST(WidePathTest, PrefixedPathsGetBackslashesOnly) {
  EXPECT_EQ(ToWidePath(R"(\\?\C:\out)"
                       "/raw-pages.txt"),
            LR"(\\?\C:\out\raw-pages.txt)");
}

}  // namespace
}  // namespace orv::win32
