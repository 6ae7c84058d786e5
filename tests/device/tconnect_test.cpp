// The connection and survey worker against the fake phone: recorded phone
// profiles with every line end, and the ways a phone fails.

#include "device/tconnect.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "device/fake_phone.h"
#include "device/phone_samples.h"
#include "device/recording_connect_view.h"
#include "device/wireless_link_flag.h"

namespace orv {
namespace {

using test::RecordingConnectView;
using testing::FakePhone;
using Item = RecordingConnectView::Item;

constexpr const char* kLineEnds[] = {"lf", "crlf", "crcrlf"};

const std::string kByName = "/dev/block/platform/msm_sdcc.1/by-name/";
const std::string kLsLine = "adb shell  su -c \"ls -l ";

struct SurveyRun {
  SurveyOutcome outcome;
  std::vector<std::string> commands;
};

// Phone identity for profiles recorded without it: the build.prop of a
// Xiaomi HM 1S, the cpuinfo of a Galaxy Tab, a meminfo sample.
void GiveIdentity(FakePhone& phone) {
  const std::pair<const char*, std::pair<const char*, const char*>> files[] = {
      {"cat system/build.prop", {"xiaomi-hm1s-armani-android-4.3", "build.prop.txt"}},
      {"cat proc/cpuinfo", {"samsung-gt-p1010-android-2.2.2", "cpuinfo.txt"}},
      {"cat proc/meminfo", {"unknown-android-awesome-adb-samples", "meminfo.txt"}},
  };
  for (const auto& [command, sample] : files) {
    const std::string name = std::string(sample.first) + "-" + sample.second;
    phone.writeProfileFile(name, test::PhoneSample(sample.first, sample.second));
    phone.addRule(command, {{"out", name}});
  }
}

SurveyRun Survey(RecordingConnectView& view, ConnectSettings settings = {}) {
  Tconnect worker(std::move(settings), view);
  const SurveyOutcome outcome = worker.run();
  return {outcome, worker.commandsRun()};
}

// Every row of the model as its cells joined by "|".
std::vector<std::string> Rows(const StorageModel& model) {
  std::vector<std::string> rows;
  for (const StorageEntry& entry : model) {
    std::string row;
    for (const std::string& cell : StorageRowCells(entry)) row += cell + "|";
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::array<int, 3>> Shape(const std::vector<StorageTreeNode>& nodes) {
  std::vector<std::array<int, 3>> shape;
  for (const StorageTreeNode& node : nodes) shape.push_back({node.image, node.parent, node.entry});
  return shape;
}

class HuaweiSurvey : public ::testing::TestWithParam<const char*> {};

TEST_P(HuaweiSurvey, ByNameLinksCardsAndDisk) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("line-end", GetParam());
  GiveIdentity(phone);
  for (const char* minor : {"26", "33"}) {
    phone.addRule(std::string("ls -l /dev/block/vold/179:") + minor,
                  {{"text", std::string("brw------- root     root     179,  ") + minor +
                                " 2013-01-01 00:00 179:" + minor + "\\n"}});
  }
  RecordingConnectView view;
  const SurveyRun run = Survey(view);
  ASSERT_EQ(run.outcome, SurveyOutcome::kCompleted);

  const std::string found = "挂载盘符 / 获取安卓操作系统挂载盘符信息成功";
  const std::string linkFound = "卷标路径 / 获取安卓操作系统逻辑盘的卷标路径信息成功";
  const std::string linkFailed = "卷标路径 / 获取安卓操作系统逻辑盘的卷标路径信息失败";
  const std::string cardFound = "内外部SD卡 / 获取安卓操作系统内外部SD卡信息成功";
  std::vector<std::string> expectedLogs = {
      "检查连接 / 检测手机和电脑之间的USB连接线是否连接正常连接",
      "命令 / adb devices",
      "检查权限 / 检查操作系统是否已经取得了Root权限",
      "命令 / adb shell su -c \"ls\"",
      "基本信息 / 获取手机型号等具体参数的基本信息",
      "命令 / adb shell  su -c \"cat system/build.prop\"",
      "手机型号 / 获取手机型号信息成功",
      "系统信息 / 获取安卓操作系统信息成功",
      "命令 / adb shell  su -c \"cat proc/cpuinfo\"",
      "CPU型号 / 获取CPU型号成功",
      "命令 / adb shell  su -c \"cat proc/meminfo\"",
      "内存大小 / 获取内存大小成功",
      "命令 / adb shell  su -c \"cat proc/partitions\"",
      "分区表 / 获取安卓操作系统分区表信息成功",
      "命令 / adb shell  su -c \"df\"",
      "存储空间 / 获取各个逻辑盘的存储空间信息成功",
      "命令 / adb shell  su -c  \"mount\"",
  };
  // tmpfs at /dev, /mnt/asec, /mnt/obb: no device path, no command.
  for (int i = 0; i < 3; ++i) expectedLogs.insert(expectedLogs.end(), {found, linkFailed});
  for (const char* name : {"system", "userdata", "cache", "persist", "modem", "cust"}) {
    expectedLogs.insert(expectedLogs.end(),
                        {found, "命令 / " + kLsLine + kByName + name, linkFound});
  }
  for (const char* card : {"179:26", "179:33"}) {
    expectedLogs.insert(expectedLogs.end(),
                        {found, "命令 / " + kLsLine + "/dev/block/vold/" + card, cardFound});
  }
  expectedLogs.insert(expectedLogs.end(), {found, "命令 / " + kLsLine + "/dev/block/vold/179:33"});
  EXPECT_EQ(view.logs, expectedLogs);

  EXPECT_EQ(view.states, (std::vector<Item>{{"连接正常", 2}}));
  EXPECT_EQ(view.info, (std::vector<Item>{{"\r\nRoot权限:已获取", 13},
                                          {"\r\n我的手机[HM 1S]", 3},
                                          {"\r\nJLS36C", 4},
                                          {"\r\n安卓版本:4.3", 5},
                                          {"\r\n系统语言:zh", 6},
                                          {"\r\n系统国家:CN", 7},
                                          {"\r\nCPU型号: P1Lite Samsung Board", 8},
                                          {"\r\n内存大小:1027424 kB", 9},
                                          {"\r\n逻辑盘符数量:29", 10},
                                          {"\r\n内部SD卡数量:1", 11},
                                          {"\r\n外部SD卡数量:1", 11}}));
  EXPECT_EQ(view.fileTreeResets, 1);
  EXPECT_TRUE(view.messages.empty());
  const std::string link = kByName;
  EXPECT_EQ(Rows(view.model),
            (std::vector<std::string>{
                "1|179|24|1048576|mmcblk0p24|ext4|" + link +
                    "system|/system|/dev/block/mmcblk0p24|1009M|603M|405M|lj|mmcblk0|",
                "2|179|25|1155072|mmcblk0p25|ext4|" + link +
                    "userdata|/data|/dev/block/mmcblk0p25|1G|113M|998M|lj|mmcblk0|",
                "3|179|23|196608|mmcblk0p23|ext4|" + link +
                    "cache|/cache|/dev/block/mmcblk0p23|189M|4M|184M|lj|mmcblk0|",
                "4|179|18|8192|mmcblk0p18|ext4|" + link +
                    "persist|/persist|/dev/block/mmcblk0p18|7M|4M|3M|lj|mmcblk0|",
                "5|179|13|65536|mmcblk0p13|vfat|" + link +
                    "modem|/firmware|/dev/block/mmcblk0p13|63M|44M|19M|lj|mmcblk0|",
                "6|179|22|262144|mmcblk0p22|ext4|" + link +
                    "cust|/cust|/dev/block/mmcblk0p22|252M|52M|199M|lj|mmcblk0|",
                "7|179|26|4780015|mmcblk0p26|vfat||/storage/sdcard0|/dev/block/vold/179:26|4G|2G|"
                "2G|lj-sdn|mmcblk0|",
                "8|179|33|15557120|mmcblk1p1|vfat||/storage/sdcard1|/dev/block/vold/179:33|14G|5G|"
                "9G|lj-sdw|mmcblk1|",
                "9|179|0|7634944|mmcblk0||||/dev/block/mmcblk0||||wl||",
            }));
  EXPECT_EQ(Shape(view.tree), (std::vector<std::array<int, 3>>{{0, -1, -1},
                                                               {1, 0, 8},
                                                               {2, 1, 0},
                                                               {2, 1, 1},
                                                               {2, 1, 2},
                                                               {2, 1, 3},
                                                               {2, 1, 4},
                                                               {2, 1, 5},
                                                               {3, 1, 6},
                                                               {3, 0, 7}}));
  EXPECT_EQ(view.tree[0].caption, "我的手机[HM 1S]");
  EXPECT_EQ(view.btn1, (std::vector<bool>{false, true}));
  EXPECT_EQ(view.btn8, (std::vector<bool>{false, true}));
  EXPECT_EQ(view.statuses.back(), "1:");
  EXPECT_EQ(run.commands.size(), 17u);
  EXPECT_EQ(std::count(run.commands.begin(), run.commands.end(), "adb kill-server"), 0);
}

INSTANTIATE_TEST_SUITE_P(LineEnds, HuaweiSurvey, ::testing::ValuesIn(kLineEnds));

// The other recorded phones, with every line end: how each survey ends.
struct ProfileCase {
  const char* profile;
  std::vector<std::pair<std::string, std::string>> settings;
  std::vector<std::pair<std::string, std::string>> extraRules;  // command, profile file
  SurveyOutcome outcome;
  std::vector<std::string> rows;  // "name|kind|mount point|disk"
  std::vector<std::array<int, 3>> tree;
  std::string lastLog;
};

std::vector<std::string> Summary(const StorageModel& model) {
  std::vector<std::string> rows;
  for (const StorageEntry& entry : model)
    rows.push_back(entry.name + "|" + entry.kind + "|" + entry.mountPoint + "|" + entry.disk);
  return rows;
}

const ProfileCase kProfiles[] = {
    // Plain device paths: `ls -l` of a device that is no link says nothing
    // the survey needs.
    {"android-4.0-freescale-imx6q",
     {{"pty", "no"}},
     {},
     SurveyOutcome::kCompleted,
     {"mmcblk1p5|lj|/system|mmcblk1", "mmcblk1p7|lj|/data|mmcblk1", "mmcblk1p6|lj|/cache|mmcblk1",
      "mmcblk1p4|lj-sdn|/mnt/sdcard|mmcblk1", "mmcblk1|wl||"},
     {{0, -1, -1}, {1, 0, 4}, {2, 1, 0}, {2, 1, 1}, {2, 1, 2}, {3, 1, 3}},
     "卷标路径 / 获取安卓操作系统逻辑盘的卷标路径信息失败"},
    // Android 11: six-column df, /system is the root file system.
    {"android-11-samsung-sm-x200",
     {{"pty", "no"}},
     {{"mount", "proc-mounts.txt"}},
     SurveyOutcome::kCompleted,
     {"mmcblk0p49|lj|/cache|", "dm-43|lj|/data|"},
     {{0, -1, -1}, {2, 0, 0}, {2, 0, 1}},
     "挂载盘符 / 获取安卓操作系统挂载盘符信息成功"},
    // No partition table (the recording has none; the pty turns the error into
    // output): nothing to image, so no node at all, yet the survey completes.
    {"android-4.0-asus-tf201",
     {{"pty", "yes"}},
     {},
     SurveyOutcome::kCompleted,
     {},
     {},
     "命令 / adb shell  su -c \"ls -l /dev/fuse"},
    // Android 2.2: a df without columns.
    {"android-2.2-samsung-gt-p1010",
     {},
     {},
     SurveyOutcome::kStepFailed,
     {},
     {},
     "存储空间 / 获取各个逻辑盘的存储空间信息失败"},
    // Android 8.1 without df output: the survey ends after the space report.
    {"android-8.1-mediatek-mt6580",
     {{"pty", "no"}},
     {},
     SurveyOutcome::kStepFailed,
     {},
     {},
     "命令 / adb kill-server"},
};

class ProfileSurvey : public ::testing::TestWithParam<std::tuple<std::size_t, const char*>> {};

TEST_P(ProfileSurvey, EndsAsExpected) {
  const ProfileCase& c = kProfiles[std::get<0>(GetParam())];
  FakePhone phone(c.profile);
  phone.set("line-end", std::get<1>(GetParam()));
  for (const auto& [key, value] : c.settings) phone.set(key, value);
  if (std::string_view(c.profile) != "android-2.2-samsung-gt-p1010") GiveIdentity(phone);
  for (const auto& [command, file] : c.extraRules) phone.addRule(command, {{"out", file}});
  RecordingConnectView view;
  const SurveyRun run = Survey(view);
  EXPECT_EQ(run.outcome, c.outcome);
  EXPECT_EQ(Summary(view.model), c.rows);
  EXPECT_EQ(Shape(view.tree), c.tree);
  ASSERT_FALSE(view.logs.empty());
  EXPECT_EQ(view.logs.back(), c.lastLog);
  EXPECT_EQ(view.btn1.back(), true);
  EXPECT_EQ(view.btn8.back(), c.outcome == SurveyOutcome::kCompleted);
  EXPECT_TRUE(view.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Phones, ProfileSurvey,
                         ::testing::Combine(::testing::Range<std::size_t>(0, std::size(kProfiles)),
                                            ::testing::ValuesIn(kLineEnds)));

TEST(TconnectIdentity, ReadsModelVersionCpuAndMemory) {
  FakePhone phone("android-2.2-samsung-gt-p1010");
  phone.addRule("df", {{"out", "df-columns.txt"}});
  phone.writeProfileFile("df-columns.txt",
                         "Filesystem Size Used Free Blksize\n/system 345M 334M 11M 4096\n");
  RecordingConnectView view;
  const SurveyRun run = Survey(view);
  EXPECT_EQ(run.outcome, SurveyOutcome::kCompleted);
  ASSERT_GE(view.info.size(), 8u);
  EXPECT_EQ(view.info[1], (Item{"\r\n我的手机[GT-P1010]", 3}));
  EXPECT_EQ(view.info[2], (Item{"\r\nFROYO.UJKM5", 4}));
  EXPECT_EQ(view.info[3], (Item{"\r\n安卓版本:2.2.2", 5}));
  EXPECT_EQ(view.info[4].image, 6);
  EXPECT_TRUE(view.info[4].caption.starts_with("\r\n系统语言:"));
  EXPECT_EQ(view.info[6].caption.substr(0, 13), "\r\nCPU型号: ");
  EXPECT_EQ(view.info[6].image, 8);
  EXPECT_EQ(view.info[7].image, 9);
  EXPECT_TRUE(view.info[7].caption.starts_with("\r\n内存大小:"));
  EXPECT_TRUE(view.info[7].caption.ends_with(" kB"));
  EXPECT_EQ(view.tree.at(0).caption, "我的手机[GT-P1010]");
}

// adb's device list decides; nothing after it runs, and no kill-server.
TEST(TconnectConnection, AnUnusablePhoneGetsTheUsbMessage) {
  for (const char* devices : {"none", "offline", "unauthorized", "no-permissions", "two"}) {
    FakePhone phone("android-4.1-huawei-g740");
    phone.set("devices", devices);
    RecordingConnectView view;
    const SurveyRun run = Survey(view);
    EXPECT_EQ(run.outcome, SurveyOutcome::kNotConnected) << devices;
    EXPECT_EQ(run.commands, (std::vector<std::string>{"adb devices"})) << devices;
    EXPECT_EQ(view.states, (std::vector<Item>{{"连接异常", 1}})) << devices;
    ASSERT_EQ(view.logs.size(), 3u) << devices;
    EXPECT_TRUE(view.logs[2].starts_with(
        "连接异常 / 手机和电脑之间的USB连接线可能没有正常连接，请您重新插拔USB连接线并确保不存在"
        "接触问题（"))
        << devices;  // with the cause
    EXPECT_EQ(view.messages,
              (std::vector<std::string>{"手机连接失败,请检查USB连接线并再次点击按钮!"}));
    EXPECT_EQ(view.btn1, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.btn8, (std::vector<bool>{false}));
    EXPECT_EQ(view.fileTreeResets, 0);
  }
}

TEST(TconnectConnection, LegacyWindowsListAndAChosenSerialConnect) {
  {
    FakePhone phone("android-4.1-huawei-g740");
    phone.set("devices", "legacy-windows");
    RecordingConnectView view;
    EXPECT_EQ(Survey(view).outcome, SurveyOutcome::kCompleted);
  }
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("devices", "two");
  RecordingConnectView view;
  const SurveyRun run = Survey(view, {.serial = "0123456789ABCDEF"});
  EXPECT_EQ(run.outcome, SurveyOutcome::kCompleted);
  EXPECT_EQ(run.commands.at(1), "adb -s 0123456789ABCDEF shell su -c \"ls\"");
}

TEST(TconnectConnection, DeniedAnywhereGivesTheRootMessageAtOnce) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addRule("adb devices", {{"text",
                                 "List of devices attached\\n0123456789ABCDEF\\tno permissions "
                                 "(access denied)\\n"}});
  RecordingConnectView view;
  const SurveyRun run = Survey(view);
  EXPECT_EQ(run.outcome, SurveyOutcome::kNotConnected);
  EXPECT_EQ(run.commands.size(), 1u);
  EXPECT_EQ(view.logs.back(),
            "最高权限 / 您的手机似乎没有Root权限，请先使用Root工具进行权限获取，程序将退出!");
  EXPECT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.states, (std::vector<Item>{{"连接异常", 1}}));
}

// su must say yes: refused on either stream, missing or silent is a refusal.
TEST(TconnectRoot, RefusalsEndTheRunWithTheRootMessage) {
  for (const char* su : {"refused-stdout", "refused-stderr", "missing", "hang"}) {
    for (const bool wireless : {false, true}) {
      FakePhone phone("android-4.1-huawei-g740");
      phone.set("su", su);
      WirelessLinkFlag() = wireless;
      RecordingConnectView view;
      const SurveyRun run =
          Survey(view, {.serial = "", .rootCheckLimit = std::chrono::milliseconds(300)});
      WirelessLinkFlag() = false;
      EXPECT_EQ(run.outcome, SurveyOutcome::kRootRefused) << su;
      std::vector<std::string> commands = {"adb devices", "adb shell su -c \"ls\""};
      if (!wireless) commands.push_back("adb kill-server");
      EXPECT_EQ(run.commands, commands) << su << wireless;
      EXPECT_TRUE(
          view.logs.at(view.logs.size() - (wireless ? 1 : 2))
              .starts_with("无权限 / 安卓系统并没有获取Root权限,请先获取Root权限再使用本程序"
                           "恢复（"))
          << su;
      EXPECT_EQ(view.info, (std::vector<Item>{{"\r\nRoot权限:未取得", 12}})) << su;
      ASSERT_EQ(view.messages.size(), 1u);
      EXPECT_TRUE(view.messages[0].starts_with("系统没有获得Root权限"));
      EXPECT_EQ(view.btn1.back(), true);
      EXPECT_EQ(view.btn8, (std::vector<bool>{false}));
      EXPECT_TRUE(view.tree.empty());
    }
  }
}

// A command that prints nothing ends the survey after its log line.
TEST(TconnectSurvey, EmptyOutputsAbortWithTheirLogLine) {
  const struct {
    const char* command;
    const char* log;
  } cases[] = {
      {"cat system/build.prop", "出错 / 获取基本信息系统信息失败,请重新再试一次"},
      {"cat proc/cpuinfo", "CPU型号 / 获取CPU型号失败"},
      {"cat proc/meminfo", "内存大小 / 获取内存大小失败"},
      {"cat proc/partitions", "分区表 / 获取安卓操作系统分区表信息失败"},
      {"df", "存储空间 / 获取各个逻辑盘的存储空间信息失败"},
      {"mount", "挂载盘符 / 获取安卓操作系统挂载盘符信息失败"},
  };
  for (const auto& c : cases) {
    FakePhone phone("android-4.1-huawei-g740");
    phone.addRule(c.command, {{"text", " \\n"}});
    RecordingConnectView view;
    const SurveyRun run = Survey(view);
    EXPECT_EQ(run.outcome, SurveyOutcome::kStepFailed) << c.command;
    ASSERT_GE(view.logs.size(), 2u);
    EXPECT_EQ(view.logs[view.logs.size() - 2], c.log);
    EXPECT_EQ(run.commands.back(), "adb kill-server") << c.command;
    EXPECT_EQ(view.btn1.back(), true);
    EXPECT_EQ(view.btn8, (std::vector<bool>{false}));
    EXPECT_EQ(view.storageModelsShown, 0);
  }
}

TEST(TconnectSurvey, GarbageAndAnEmptyStorageListEndCleanly) {
  {
    // A df that is no report: the survey ends, without kill-server.
    FakePhone phone("android-4.1-huawei-g740");
    phone.addRule("df", {{"text", "\\x01\\x02 garbage\\n"}});
    RecordingConnectView view;
    const SurveyRun run = Survey(view);
    EXPECT_EQ(run.outcome, SurveyOutcome::kStepFailed);
    EXPECT_EQ(view.logs.back(), "存储空间 / 获取各个逻辑盘的存储空间信息失败");
    EXPECT_EQ(run.commands.back(), "adb shell  su -c \"df\"");
    EXPECT_EQ(view.btn1.back(), true);
  }
  // Garbage everywhere else: no entry, no node at all, the buttons come back.
  FakePhone phone("android-4.1-huawei-g740");
  for (const char* command : {"cat proc/partitions", "mount"})
    phone.addRule(command, {{"text", "garbage \\xff\\xfe\\n"}});
  RecordingConnectView view;
  const SurveyRun run = Survey(view);
  EXPECT_EQ(run.outcome, SurveyOutcome::kCompleted);
  EXPECT_TRUE(view.model.empty());
  EXPECT_TRUE(view.tree.empty());
  EXPECT_EQ(view.btn8.back(), true);
  EXPECT_EQ(view.statuses.back(), "1:");
  EXPECT_NE(
      std::find(view.logs.begin(), view.logs.end(), "分区表 / 分区表中有1行不是分区的内容，已略过"),
      view.logs.end());
  EXPECT_NE(std::find(view.info.begin(), view.info.end(), Item{"\r\n逻辑盘符数量:未知", 10}),
            view.info.end());
}

}  // namespace
}  // namespace orv
