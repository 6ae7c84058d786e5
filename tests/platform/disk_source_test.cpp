#include "platform/disk_source.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "fixtures/loop_device.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

class DiskSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orv-disk-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A file of `size` bytes whose byte i is i * 7 mod 256.
  std::string WriteDisk(const std::string& name, std::size_t size) {
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7);
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    return path.string();
  }

  fs::path dir_;
};

// The open flags of the descriptor this process holds on `path`.
std::optional<int> OpenFlagsOf(const std::string& path) {
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (fs::read_symlink(entry.path(), ec) != fs::path(path)) continue;
    std::ifstream info("/proc/self/fdinfo/" + entry.path().filename().string());
    for (std::string key; info >> key;) {
      if (key != "flags:") continue;
      std::string octal;
      info >> octal;
      return std::stoi(octal, nullptr, 8);
    }
  }
  return std::nullopt;
}

void ExpectReadsLikeTheFile(RawSource& source, std::size_t size) {
  ASSERT_EQ(source.size(), size);
  std::vector<std::uint8_t> buffer(1024, 0);
  ASSERT_EQ(source.readAt(size - 1024, buffer.data(), buffer.size()), buffer.size());
  for (std::size_t i = 0; i < buffer.size(); ++i)
    ASSERT_EQ(buffer[i], static_cast<std::uint8_t>((size - 1024 + i) * 7)) << i;
}

TEST_F(DiskSourceTest, AFileStandsInForADiskAndIsOpenedReadOnly) {
  const std::string path = WriteDisk("sdb", 196608);
  DiskOpenResult opened = OpenDisk(path);
  ASSERT_EQ(opened.error, DiskOpenError::kNone);
  ExpectReadsLikeTheFile(*opened.source, 196608);
  const auto flags = OpenFlagsOf(path);
  ASSERT_TRUE(flags);
  EXPECT_EQ(*flags & O_ACCMODE, O_RDONLY);
  EXPECT_NE(*flags & O_CLOEXEC, 0);
}

TEST_F(DiskSourceTest, FailuresToOpenSayWhy) {
  const struct {
    std::string node;
    DiskOpenError error;
  } cases[] = {
      {(dir_ / "sdz").string(), DiskOpenError::kNotFound},
      {(dir_ / "gone" / "sdz").string(), DiskOpenError::kNotFound},
      {dir_.string(), DiskOpenError::kNotReadable},
      {"/dev/null", DiskOpenError::kNotReadable},  // a character device is no disk
  };
  for (const auto& c : cases) {
    const DiskOpenResult opened = OpenDisk(c.node);
    EXPECT_EQ(opened.error, c.error) << c.node;
    EXPECT_FALSE(opened.source) << c.node;
  }
}

TEST_F(DiskSourceTest, ADiskThisUserMayNotReadIsAPermissionFailure) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every disk";
  const std::string path = WriteDisk("sdc", 4096);
  fs::permissions(path, fs::perms::none);
  EXPECT_EQ(OpenDisk(path).error, DiskOpenError::kPermissionDenied);
}

TEST(DiskPermissionHintTest, SaysHowToGetTheRight) {
  const std::string hint = DiskPermissionHint("/dev/sdc");
  EXPECT_NE(hint.find("disk"), std::string::npos);
  EXPECT_NE(hint.find("sudo orv-scan /dev/sdc"), std::string::npos);
}

TEST_F(DiskSourceTest, ALoopDeviceIsReadAsADisk) {
  const testing::LoopDevice loop(WriteDisk("card.img", 196608));
  if (loop.node().empty())
    GTEST_SKIP() << "no loop device here (needs root, losetup and loop support)";
  DiskOpenResult opened = OpenDisk(loop.node());
  ASSERT_EQ(opened.error, DiskOpenError::kNone);
  ExpectReadsLikeTheFile(*opened.source, 196608);
}

}  // namespace
}  // namespace orv
