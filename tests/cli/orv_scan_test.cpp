// The command-line scanner as scripts use it: its files, formats and exit
// statuses.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fixtures/demo_image.h"
#include "fixtures/large_image.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

struct ScanRun {
  int status;
  std::string errors;
};

class OrvScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("orv-cli-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  ScanRun Scan(const std::string& arguments) {
    const std::string errors = (dir_ / "stderr.txt").string();
    const std::string command =
        std::string(ORV_SCAN_PATH) + " " + arguments + " 2>'" + errors + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(errors)};
  }

  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string Quoted(const fs::path& path) const { return "'" + path.string() + "'"; }

  fs::path dir_;
};

TEST_F(OrvScanTest, WritesEveryFileInItsFormat) {
  const auto demo = fixtures::BuildDemoImage({.seed = 3});
  const fs::path image = dir_ / "phone image.img";
  ASSERT_EQ(fixtures::WriteFileBytes(image.string(), demo.image.bytes), "");
  const fs::path out = dir_ / "out";
  const ScanRun run = Scan(Quoted(image) + " -o " + Quoted(out) + " --encoding utf-8");
  ASSERT_EQ(run.status, 0) << run.errors;

  for (const char* name : {"raw-pages.txt", "raw-contacts.txt", "raw-calls.txt", "raw-sms.txt",
                           "activity.log", "contacts.csv", "contacts-deleted.csv", "calls.csv",
                           "calls-deleted.csv", "sms.csv", "sms-deleted.csv"})
    EXPECT_TRUE(fs::exists(out / name)) << name;

  // Raw tables: SN, then "^" and each further cell, CR LF; UTF-8 with a BOM.
  const std::string pages = Read(out / "raw-pages.txt");
  ASSERT_TRUE(
      pages.starts_with("\xEF\xBB\xBF"
                        "1^"));
  const std::string firstLine = pages.substr(3, pages.find("\r\n") - 3);
  EXPECT_EQ(std::count(firstLine.begin(), firstLine.end(), '^'), 9) << firstLine;
  EXPECT_NE(Read(out / "raw-calls.txt").find("^DEL^"), std::string::npos);
  const std::string log = Read(out / "activity.log");
  EXPECT_NE(log.find("^提示^扫描完毕\r\n"), std::string::npos);
  // CSV lines end with a comma; the deleted calls have their own file.
  const std::string calls = Read(out / "calls-deleted.csv");
  ASSERT_FALSE(calls.empty());
  EXPECT_NE(calls.find(",\r\n"), std::string::npos);
  // Progress and the log went to standard error.
  EXPECT_NE(run.errors.find("扫描完毕"), std::string::npos);
}

TEST_F(OrvScanTest, GbkIsTheDefaultEncoding) {
  const auto demo = fixtures::BuildDemoImage({.seed = 3});
  const fs::path image = dir_ / "demo.img";
  ASSERT_EQ(fixtures::WriteFileBytes(image.string(), demo.image.bytes), "");
  ASSERT_EQ(Scan(Quoted(image) + " -o " + Quoted(dir_ / "out")).status, 0);
  const std::string log = Read(dir_ / "out" / "activity.log");
  EXPECT_NE(log.find("\xCC\xE1\xCA\xBE"), std::string::npos);  // 提示 in GBK
  EXPECT_FALSE(log.starts_with("\xEF\xBB\xBF"));
}

TEST_F(OrvScanTest, BadSourcesEndWithAMessage) {
  struct Case {
    std::string path;
    std::string message;
  };
  const fs::path shortImage = dir_ / "short.img";
  std::ofstream(shortImage, std::ios::binary) << std::string(65535, '\x0D');
  const Case cases[] = {
      {(dir_ / "missing.img").string(), "获取文件长度失败，程序将退出请和客服人员联系！"},
      {dir_.string(), "打开文件句柄出错，程序将退出请和客服人员联系！"},
      {shortImage.string(), "所要扫描的存储或者文件长度小于65536字节,程序将退出!"},
      // Disk lines: a number above 255, and one no disk of this machine has.
      {"USB  999:x", "获取文件长度失败，程序将退出请和客服人员联系！"},
      {"USB  255:", "获取文件长度失败，程序将退出请和客服人员联系！"},
  };
  for (const Case& c : cases) {
    const ScanRun run = Scan(Quoted(c.path) + " -o " + Quoted(dir_ / "out"));
    EXPECT_EQ(run.status, 2) << c.path;
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
  }
  // Why a disk was refused is said on standard error too.
  EXPECT_NE(Scan("'USB  999:x' -o " + Quoted(dir_ / "out")).errors.find("超出 0-255"),
            std::string::npos);
  EXPECT_EQ(Scan("").status, 64);
  EXPECT_EQ(Scan(Quoted(shortImage) + " -o x --encoding latin1").status, 64);
  EXPECT_EQ(Scan(Quoted(shortImage) + " -o x --layouts newest").status, 64);
  EXPECT_EQ(Scan(Quoted(shortImage) + " -o x --layouts").status, 64);
  for (const char* layouts : {"spec", "learned"})
    EXPECT_EQ(Scan(Quoted(shortImage) + " -o x --layouts " + layouts).status, 2) << layouts;
}

TEST_F(OrvScanTest, InterruptStopsAndStillWritesWhatWasFound) {
  const fs::path image = dir_ / "large.img";
  fixtures::LargeImageOptions options;
  options.sizeBytes = 512ull << 20;
  options.interval = 4ull << 20;
  ASSERT_EQ(fixtures::WriteLargeImage(image.string(), options).error, "");
  const fs::path out = dir_ / "out";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::execl(ORV_SCAN_PATH, ORV_SCAN_PATH, image.c_str(), "-o", out.c_str(), nullptr);
    ::_exit(127);
  }
  // Interrupt once the scan is under way: when its output folder exists.
  for (int i = 0; i < 500 && !fs::exists(out); ++i) ::usleep(2000);
  ::usleep(20000);
  ::kill(child, SIGINT);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  // A stop (130) writes the files; a scan that finished first exits 0.
  EXPECT_TRUE(WEXITSTATUS(status) == 130 || WEXITSTATUS(status) == 0) << WEXITSTATUS(status);
  EXPECT_TRUE(fs::exists(out / "raw-pages.txt"));
  if (WEXITSTATUS(status) == 130) {
    EXPECT_NE(Read(out / "activity.log").find("\xC9\xA8\xC3\xE8\xD6\xD5\xD6\xB9"),  // 扫描终止
              std::string::npos);
  }
}

}  // namespace
}  // namespace orv
