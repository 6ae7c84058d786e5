#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "test_files.h"

namespace orv {
namespace {

using testing::ReadBytes;
using testing::TempDir;

// Caps the size of files this process writes, so a write fails halfway
// (EFBIG) instead of when the file is created.
class FileSizeCap {
 public:
  explicit FileSizeCap(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit capped = previous_;
    capped.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &capped);
  }
  ~FileSizeCap() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int);
};

TEST(AtomicFileTest, CreatesAndReplacesAFile) {
  TempDir dir;
  const std::string path = dir.file("out.csv");
  EXPECT_FALSE(WriteFileAtomically(path, "first version"));
  EXPECT_FALSE(WriteFileAtomically(path, "2nd"));
  EXPECT_EQ(ReadBytes(path), "2nd");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.csv"});
}

TEST(AtomicFileTest, AWriteFailingHalfwayLeavesTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.file("out.csv");
  ASSERT_FALSE(WriteFileAtomically(path, "the good old contents"));
  std::error_code error;
  {
    FileSizeCap cap(64);
    error = WriteFileAtomically(path, std::string(4096, 'x'));
  }
  EXPECT_EQ(error, std::errc::file_too_large);
  EXPECT_EQ(ReadBytes(path), "the good old contents");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.csv"});
}

TEST(AtomicFileTest, AFailedRenameRemovesTheTemporaryFile) {
  TempDir dir;
  std::filesystem::create_directories(dir.file("taken/inner"));
  EXPECT_TRUE(WriteFileAtomically(dir.file("taken"), "data"));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"taken"});
}

TEST(AtomicFileTest, AMissingFolderOrNameIsAnError) {
  TempDir dir;
  EXPECT_EQ(WriteFileAtomically(dir.file("missing/out.csv"), "data"),
            std::errc::no_such_file_or_directory);
  EXPECT_TRUE(WriteFileAtomically("", "data"));
  EXPECT_TRUE(dir.entries().empty());
}

}  // namespace
}  // namespace orv
