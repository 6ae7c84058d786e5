// The file browser worker against the fake phone.

#include "device/tfilebro.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "device/fake_phone.h"

namespace orv {
namespace {

using testing::FakePhone;

class RecordingFileView : public FileBrowserView {
 public:
  void addLogLine(const LogLine& line) override {
    log.push_back(line.type + "|" + line.description);
  }
  void setConnectionState(std::string_view caption, int) override { state = caption; }
  void showMessage(std::string_view text) override { messages.emplace_back(text); }
  void setConnectButtonEnabled(bool enabled) override { connectEnabled = enabled; }
  void showCommandOutput(std::string_view output) override { shown = output; }
  void clearFileList() override { rows.clear(); }
  void addFolderNode(const std::string& path) override { folders.push_back(path); }
  void addFileRows(std::vector<FileRow> more) override {
    rows.insert(rows.end(), more.begin(), more.end());
  }

  std::vector<std::string> log, messages, folders;
  std::vector<FileRow> rows;
  std::string state, shown;
  bool connectEnabled = false;
};

TEST(TFileBro, ListsAFolderAndAddsItsSubfoldersOnlyTheFirstTime) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addRule("ls -l /data/data/x",
                {{"text",
                  "drwxrwx--x u0_a1 u0_a1 2013-05-01 12:34 databases\\n"
                  "-rw-rw---- u0_a1 u0_a1 98304 2013-05-01 12:34 contacts2.db\\n"}});
  RecordingFileView first;
  EXPECT_TRUE(TFileBro("/data/data/x", false, first).run());
  EXPECT_EQ(first.state, "连接正常");
  EXPECT_EQ(first.folders, std::vector<std::string>{"/data/data/x/databases"});
  ASSERT_EQ(first.rows.size(), 1u);
  EXPECT_EQ(first.rows[0].size, "98304");
  EXPECT_FALSE(first.shown.empty());

  RecordingFileView again;
  EXPECT_TRUE(TFileBro("/data/data/x", true, again).run());
  EXPECT_TRUE(again.folders.empty());
  EXPECT_EQ(again.rows.size(), 1u);
  EXPECT_NE(std::find(again.log.begin(), again.log.end(),
                      "解析目录|开始解析当前目录 /data/data/x 下的文件"),
            again.log.end());
}

TEST(TFileBro, AnEmptyListingIsLoggedOnly) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addRule("ls -l /data/empty", {{"text", ""}});
  RecordingFileView view;
  EXPECT_FALSE(TFileBro("/data/empty", false, view).run());
  EXPECT_EQ(view.log.back(),
            "解析出错|解析目录/data/empty 出错,当前目录为空或者请检查手机联接是否正常");
  EXPECT_TRUE(view.messages.empty());
}

TEST(TFileBro, NoPhoneShowsTheUsbMessageAndEnablesConnect) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("devices", "offline");
  RecordingFileView view;
  EXPECT_FALSE(TFileBro("/data", false, view).run());
  EXPECT_EQ(view.state, "连接异常");
  EXPECT_EQ(view.messages, std::vector<std::string>{"手机连接失败,请检查USB连接线并再次点击按钮!"});
  EXPECT_TRUE(view.connectEnabled);
  EXPECT_TRUE(phone.phoneCommands().empty());
}

TEST(TFileBro, UnsafeFolderNamesNeverReachThePhonesShell) {
  for (const char* folder : {"/data/a;touch PWNED", "/data/$(touch PWNED)", "/data/`touch PWNED`",
                             "/data/it's", "/data/a\"b", "/data/line\ntouch PWNED"}) {
    SCOPED_TRACE(folder);
    FakePhone phone("android-4.1-huawei-g740");
    phone.set("shell", "sandbox");
    RecordingFileView view;
    EXPECT_FALSE(TFileBro(folder, false, view).run());
    EXPECT_TRUE(phone.phoneCommands().empty());
    EXPECT_FALSE(std::filesystem::exists(phone.folder() / "sandbox" / "PWNED"));
    EXPECT_TRUE(view.log.back().starts_with("解析出错|"));
  }
}

}  // namespace
}  // namespace orv
