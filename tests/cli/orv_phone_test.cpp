// `orv-phone survey` as scripts use it: its report, its log on standard error
// and its exit statuses, against the fake phone.

#include <gtest/gtest.h>

#include <chrono>

#include "device/fake_phone.h"
#include "device/line_helpers.h"
#include "platform/command_runner.h"
#include "platform/text_codec.h"

namespace orv {
namespace {

using testing::FakePhone;

CommandResult Survey(std::vector<std::string> arguments = {}) {
  std::vector<std::string> argv = {ORV_PHONE_PATH, "survey"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunProgram(argv, std::chrono::seconds(60));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (const std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return lines;
}

TEST(OrvPhoneSurvey, PrintsInformationTableAndTree) {
  FakePhone phone("android-4.0-freescale-imx6q");
  phone.addRule("cat system/build.prop", {{"text", "ro.product.model=SABRESD\\n"}});
  const CommandResult result = Survey();
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ(lines[0], "Root权限\t已获取");
  EXPECT_EQ(lines[1], "我的手机\t我的手机[SABRESD]");
  const std::string header =
      "SN\t主块-P\t次块-P\t长度-P\t分区名称-P\t文件系统-M\t链接文件-M\t挂载点-M\t路径-M\t长度-D\t"
      "使用空间-D\t空闲空间-D\t盘符属性\t所属物理盘";
  const auto at = std::find(lines.begin(), lines.end(), header);
  ASSERT_NE(at, lines.end()) << result.out;
  EXPECT_EQ(
      *(at + 1),
      "1\t179\t29\t524287\tmmcblk1p5\text4\t\t/system\t/dev/block/mmcblk1p5\t275M\t163M\t112M\t"
      "lj\tmmcblk1");
  EXPECT_EQ(*(at + 5), "5\t179\t24\t7761920\tmmcblk1\t\t\t\t/dev/block/mmcblk1\t\t\t\twl\t");
  EXPECT_EQ(*(at + 6), "我的手机[SABRESD]\t");
  EXPECT_EQ(*(at + 7), "  物理盘     [mmcblk1] 容量:7.4GB 编号:5\t5");
  EXPECT_EQ(lines.back(),
            "    内部SD卡[mmcblk1p4] 文件系统:vfat 容量:4.56GB 挂载点:/mnt/sdcard 空闲空间:4G "
            "编号:4\t4");
  // The log as it happened, one tab-separated line each.
  EXPECT_NE(result.err.find("\t命令\tadb shell  su -c  \"mount\"\n"), std::string::npos);
}

TEST(OrvPhoneSurvey, ExitStatusTellsWhatWentWrong) {
  {
    FakePhone phone("no-phone-linux");
    const CommandResult result = Survey();
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_TRUE(result.out.empty());
    EXPECT_NE(result.err.find("提示\t手机连接失败,请检查USB连接线并再次点击按钮!"),
              std::string::npos);
  }
  {
    FakePhone phone("android-4.1-huawei-g740");
    phone.set("su", "refused-stderr");
    EXPECT_EQ(Survey().exitStatus, 3);
  }
  {
    FakePhone phone("android-4.1-huawei-g740");
    phone.addRule("df", {{"text", ""}});
    EXPECT_EQ(Survey().exitStatus, 4);
  }
  EXPECT_EQ(Survey({"--encoding", "latin1"}).exitStatus, 64);
  EXPECT_EQ(Survey({"--serial"}).exitStatus, 64);
}

TEST(OrvPhoneSurvey, ChosenSerialAndChineseCodePage) {
  FakePhone phone("android-4.0-freescale-imx6q");
  phone.set("devices", "two");
  EXPECT_EQ(Survey().exitStatus, 2);  // which of the two?
  const CommandResult result = Survey({"--serial", "0123456789ABCDEF", "--encoding", "gb18030"});
  ASSERT_EQ(result.exitStatus, 0);
  const auto utf8 = Gb18030ToUtf8(result.out);
  ASSERT_TRUE(utf8.has_value());
  EXPECT_TRUE(utf8->starts_with("Root权限\t已获取\n"));
  EXPECT_FALSE(IsValidUtf8(result.out));
}

}  // namespace
}  // namespace orv
