#include "platform/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/atomic_file.h"
#include "platform/raw_source.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

class FoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ =
        Utf8(fs::temp_directory_path()) + "/orv-folders-" + std::to_string(std::random_device()());
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(fs::path(std::u8string(base_.begin(), base_.end())), ignored);
  }

  // Writes through the program's own file calls and reads back through them.
  static std::string WriteAndReadBack(const std::string& path, const std::string& bytes) {
    if (WriteFileAtomically(path, bytes)) return "write failed";
    const OpenResult opened = OpenImageFile(path);
    if (!opened.source) return "open failed";
    std::string read(opened.source->size(), '\0');
    opened.source->readAt(0, reinterpret_cast<std::uint8_t*>(read.data()), read.size());
    return read;
  }

  std::string base_;
};

// Chinese folder names and a path past Windows' MAX_PATH (260) on the way.
TEST_F(FoldersTest, LongPathsWithChineseNamesHoldFiles) {
  std::string folder = base_ + "/手机镜像";
  for (int i = 0; i < 4; ++i) folder += "/" + std::string(60, static_cast<char>('a' + i));
  ASSERT_GT(folder.size(), 260u);
  ASSERT_FALSE(CreateFolders(folder));
  EXPECT_EQ(WriteAndReadBack(folder + "/联系人.txt", "张三\r\n"), "张三\r\n");
  EXPECT_FALSE(CreateFolders(folder));  // already there
}

TEST_F(FoldersTest, APathThroughAFileFails) {
  ASSERT_FALSE(CreateFolders(base_));
  ASSERT_FALSE(WriteFileAtomically(base_ + "/file", "x"));
  EXPECT_TRUE(CreateFolders(base_ + "/file"));
  EXPECT_TRUE(CreateFolders(base_ + "/file/inner"));
}

}  // namespace
}  // namespace orv
