// `orv-phone ls`, `pull` and `image` against the fake phone: what they print,
// what they copy and their exit statuses.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "device/fake_phone.h"
#include "platform/command_runner.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using testing::FakePhone;

CommandResult OrvPhone(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), ORV_PHONE_PATH);
  return RunProgram(arguments, std::chrono::seconds(60));
}

class OrvPhoneCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("orv-phone-copy-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

constexpr const char* kFile = "/data/data/com.android.providers.telephony/databases/mmssms.db";

TEST_F(OrvPhoneCopy, LsPrintsTheFileListTabSeparated) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addRule("ls -l /data/data/x",
                {{"text",
                  "drwxrwx--x u0_a1 u0_a1 2013-05-01 12:34 databases\\n"
                  "-rw-rw---- u0_a1 u0_a1 98304 2013-05-01 12:34 my notes.db\\n"
                  "lrwxrwxrwx root root 2013-05-01 12:34 lib -> /data/app-lib/x\\n"}});
  const CommandResult result = OrvPhone({"ls", "/data/data/x"});
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out,
            "my notes.db\t98304\t2013-05-01 12:34\t\t/data/data/x\n"
            "lib\t\t2013-05-01 12:34\t/data/app-lib/x\t/data/data/x\n");
}

TEST_F(OrvPhoneCopy, LsRefusesAnUnsafeFolderAndRunsNothing) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("shell", "sandbox");
  const CommandResult result = OrvPhone({"ls", "/data/$(touch PWNED)"});
  EXPECT_NE(result.exitStatus, 0);
  EXPECT_TRUE(phone.phoneCommands().empty());
  EXPECT_FALSE(fs::exists(phone.folder() / "sandbox" / "PWNED"));
}

TEST_F(OrvPhoneCopy, PullCopiesTheFileAndPutsItsModeBack) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kFile, "-rw-rw----", 200000);
  const CommandResult result = OrvPhone({"pull", kFile, "--to", folder_.string()});
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(fs::file_size(folder_ / "mmssms.db"), 200000u);
  EXPECT_EQ(phone.chmodLog(),
            (std::vector<std::string>{"0664 " + std::string(kFile), "0660 " + std::string(kFile)}));
  EXPECT_NE(result.err.find("文件成功镜像到了指定的Windows路径"), std::string::npos);
}

TEST_F(OrvPhoneCopy, PullExitStatusIsZeroOnlyForACompleteCopy) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kFile, "-rw-rw----", 200000);
  phone.set("copy-end", "short:100000");
  const CommandResult result = OrvPhone({"pull", kFile, "--to", folder_.string()});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.err.find("镜像不完整: 期望 200000 字节, 实际 100000 字节"), std::string::npos);
}

TEST_F(OrvPhoneCopy, PullAsksBeforeReplacingAndSaysNoWithoutYes) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kFile, "-rw-rw-r--", 1000);
  fs::copy_file("/etc/hostname", folder_ / "mmssms.db");
  EXPECT_EQ(OrvPhone({"pull", kFile, "--to", folder_.string()}).exitStatus, 2);
  EXPECT_EQ(OrvPhone({"pull", kFile, "--to", folder_.string(), "--yes"}).exitStatus, 0);
  EXPECT_EQ(fs::file_size(folder_ / "mmssms.db"), 1000u);
}

TEST_F(OrvPhoneCopy, PullWithoutAFolderIsRefused) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addFile(kFile, "-rw-rw-r--", 1000);
  const CommandResult result = OrvPhone({"pull", kFile});
  EXPECT_EQ(result.exitStatus, 2) << result.err;
  EXPECT_NE(result.err.find("Windows目标盘路径为空"), std::string::npos);
}

TEST_F(OrvPhoneCopy, ImageRefusesWhenThePhoneHasNoCardToWriteTo) {
  FakePhone phone("android-4.0-freescale-imx6q");  // an internal SD card only
  const CommandResult result = OrvPhone({"image", "1", "--to", folder_.string(), "--yes"});
  EXPECT_EQ(result.exitStatus, 2) << result.err;
  EXPECT_NE(result.err.find("您的手机似乎没有安装外置SD卡"), std::string::npos) << result.err;
  for (const std::string& command : phone.phoneCommands()) {
    EXPECT_EQ(command.find("dd "), std::string::npos);
  }
}

TEST_F(OrvPhoneCopy, UsageErrors) {
  EXPECT_EQ(OrvPhone({"image", "x", "--to", "/tmp"}).exitStatus, 64);
  EXPECT_EQ(OrvPhone({"pull"}).exitStatus, 64);
  EXPECT_EQ(OrvPhone({"ls"}).exitStatus, 64);
}

}  // namespace
}  // namespace orv
