// The fake phone driven through the real runner and command builders, as
// the phone wing's workers will drive it.

#include "device/fake_phone.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "device/adb_commands.h"
#include "device/device_list.h"
#include "device/line_helpers.h"

namespace orv {
namespace {

using namespace std::chrono_literals;
using testing::FakePhone;
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Crlf(const std::string& lf) {
  std::string text;
  for (const char c : lf) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return text;
}

CommandResult Shell(const std::string& phoneCommand, std::chrono::milliseconds limit = 10s) {
  return RunProgram({"adb", "shell", phoneCommand}, limit);
}

TEST(FakePhoneTest, DebianAdbWithoutAPhone) {
  FakePhone phone("no-phone-linux");
  const CommandResult first = RunAdb(AdbDevices());
  EXPECT_EQ(first.out, "List of devices attached\n\n");
  EXPECT_EQ(first.out.size(), 26u);
  EXPECT_NE(first.err.find("* daemon started successfully"), std::string::npos);
  EXPECT_EQ(CheckConnection(ParseDeviceList(first.out + first.err)).verdict,
            ConnectionVerdict::kNoDevice);
  // The server runs now: no daemon lines until it is killed.
  EXPECT_EQ(RunAdb(AdbDevices()).err, "");
  EXPECT_EQ(RunAdb(AdbKillServer()).exitStatus, 0);
  EXPECT_NE(RunAdb(AdbDevices()).err, "");
  const CommandResult shell = RunAdb(AdbRootCheck());
  EXPECT_EQ(shell.exitStatus, 1);
  EXPECT_EQ(shell.err, "adb: no devices/emulators found\n");
}

TEST(FakePhoneTest, DeviceStatesAsTheDeviceListSeesThem) {
  const struct {
    const char* devices;
    const char* lineEnd;
    ConnectionVerdict verdict;
    std::size_t bytes;  // of the whole list, 0 to skip
  } cases[] = {
      {"device", "lf", ConnectionVerdict::kConnected, 0},
      {"none", "lf", ConnectionVerdict::kNoDevice, 26},
      {"none", "crcrlf", ConnectionVerdict::kNoDevice, 30},
      {"offline", "crlf", ConnectionVerdict::kOffline, 0},
      {"unauthorized", "lf", ConnectionVerdict::kUnauthorized, 0},
      {"no-permissions", "lf", ConnectionVerdict::kNoPermissions, 0},
      {"recovery", "lf", ConnectionVerdict::kNotInSystem, 0},
      {"two", "crlf", ConnectionVerdict::kChooseOne, 0},
      {"legacy-windows", "", ConnectionVerdict::kConnected, 0},
  };
  FakePhone phone("android-4.1-huawei-g740");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.devices) + " " + c.lineEnd);
    phone.set("devices", c.devices);
    phone.set("devices-line-end", *c.lineEnd != '\0' ? c.lineEnd : "crlf");
    const CommandResult result = RunAdb(AdbDevices());
    if (c.bytes != 0) {
      EXPECT_EQ(result.out.size(), c.bytes);
    }
    EXPECT_EQ(CheckConnection(ParseDeviceList(result.out)).verdict, c.verdict);
  }
  phone.set("devices", "legacy-windows");
  phone.set("devices-line-end", "crlf");
  EXPECT_EQ(RunAdb(AdbDevices()).out,
            "List of devices attached \r\n0123456789ABCDEF\tdevice\r\n\r\n");
  // The legacy empty list: the 29 bytes that once meant "no device".
  phone.set("devices", "none");
  phone.set("devices-format", "legacy-windows");
  const CommandResult legacyEmpty = RunAdb(AdbDevices());
  EXPECT_EQ(legacyEmpty.out.size(), 29u);
  EXPECT_EQ(CheckConnection(ParseDeviceList(legacyEmpty.out)).verdict,
            ConnectionVerdict::kNoDevice);
  phone.set("devices-line-end", "crcrlf");
  EXPECT_EQ(RunAdb(AdbDevices()).out, "List of devices attached \r\r\n\r\r\n");
}

TEST(FakePhoneTest, DaemonLinesOnStandardOutput) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("daemon-start", "stdout");
  const CommandResult first = RunAdb(AdbDevices());
  EXPECT_TRUE(first.out.starts_with("* daemon not running")) << first.out;
  EXPECT_EQ(CheckConnection(ParseDeviceList(first.out)).verdict, ConnectionVerdict::kConnected);
  RunAdb(AdbKillServer());
  const CommandResult shell = RunAdb(AdbRootCheck());
  EXPECT_TRUE(shell.out.starts_with("* daemon not running")) << shell.out;
}

TEST(FakePhoneTest, AdbRefusesShellCommandsWithoutOneUsableDevice) {
  const struct {
    const char* devices;
    std::string errStart;
  } cases[] = {
      {"offline", "adb: device offline"},
      {"unauthorized", "adb: device unauthorized."},
      {"no-permissions", "adb: insufficient permissions for device"},
      {"two", "adb: more than one device/emulator"},
  };
  FakePhone phone("android-8.1-mediatek-mt6580");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.devices);
    phone.set("devices", c.devices);
    const CommandResult result = RunAdb(AdbDf());
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(result.err.starts_with(c.errStart)) << result.err;
  }
  // Aimed at one of two, the command goes through.
  phone.set("devices", "two");
  const AdbCommandBuild aimed = ForDevice(AdbCatPartitions(), "0123456789ABCDEF");
  ASSERT_TRUE(aimed);
  EXPECT_EQ(RunAdb(*aimed.command).out, ReadFile(phone.profileFolder() / "proc-partitions.txt"));
}

TEST(FakePhoneTest, SuModesOnModernAndOldPhones) {
  const struct {
    const char* profile;
    const char* su;
    std::string out;
    std::string err;
    int exit;
  } cases[] = {
      {"android-8.1-mediatek-mt6580", "refused-stdout", "Permission denied\n", "", 1},
      {"android-8.1-mediatek-mt6580", "refused-stderr", "", "su: permission denied\n", 1},
      {"android-8.1-mediatek-mt6580", "missing", "", "/system/bin/sh: su: not found\n", 127},
      // Through a pty: one stream, CR LF, no exit status.
      {"android-2.2-samsung-gt-p1010", "refused-stdout", "Permission denied\r\n", "", 0},
      {"android-2.2-samsung-gt-p1010", "refused-stderr", "su: permission denied\r\n", "", 0},
      {"android-2.2-samsung-gt-p1010", "missing", "/system/bin/sh: su: not found\r\n", "", 0},
      {"android-5-spreadtrum-sc77xx", "refused-stdout", "Permission denied\r\r\n", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.profile) + " " + c.su);
    FakePhone phone(c.profile);
    phone.set("su", c.su);
    const CommandResult result = RunAdb(AdbRootCheck());
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.exitStatus, c.exit);
  }
}

TEST(FakePhoneTest, SuThatNeverAnswersIsEndedAtTheLimit) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("su", "hang");
  const auto start = std::chrono::steady_clock::now();
  const CommandResult result = RunProgram(AdbRootCheck().argv, 300ms);
  EXPECT_TRUE(result.timedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 600ms);
}

TEST(FakePhoneTest, SurveyOutputsComeBackWithThePhonesLineEnds) {
  FakePhone old("android-2.2-samsung-gt-p1010");
  const CommandResult meminfo = RunAdb(AdbCatMemInfo());
  EXPECT_EQ(meminfo.out, Crlf(ReadFile(old.profileFolder() / "meminfo.txt")));
  EXPECT_EQ(ValueAfterKey(meminfo.out, "MemTotal:"), "        1027424 kB");
  const CommandResult cpuinfo = RunAdb(AdbCatCpuInfo());
  EXPECT_TRUE(ValueAfterKey(cpuinfo.out, "Hardware\t:").has_value());
  EXPECT_EQ(RunAdb(AdbRootCheck()).exitStatus, 0);
  EXPECT_EQ(old.phoneCommands(),
            (std::vector<std::string>{"su -c \"cat proc/meminfo\"", "su -c \"cat proc/cpuinfo\"",
                                      "su -c \"ls\""}));
}

TEST(FakePhoneTest, ModernPhoneHasNoNetcfgAndLinksWithFullPaths) {
  FakePhone phone("android-8.1-mediatek-mt6580");
  const CommandResult netcfg = RunAdb(AdbNetcfg());
  EXPECT_EQ(netcfg.exitStatus, 127);
  EXPECT_EQ(netcfg.err, "/system/bin/sh: netcfg: not found\n");
  const std::string link = "/dev/block/platform/mtk-msdc.0/11120000.msdc0/by-name/cache";
  const AdbCommandBuild ls = AdbLinkTarget(link);
  ASSERT_TRUE(ls);
  const CommandResult result = RunAdb(*ls.command);
  EXPECT_EQ(result.out,
            "lrwxrwxrwx 1 root root  21 2020-11-11 08:00 " + link + " -> /dev/block/mmcblk0p23\n");
}

TEST(FakePhoneTest, RuleOptionsShapeTheOutput) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.addRule("cat proc/meminfo", {{"text", "a\\0b\\xff\\n"},
                                     {"err", "warn\\n"},
                                     {"exit", "3"},
                                     {"line-end", "raw"},
                                     {"via", "su"}});
  phone.addRule("cat big", {{"text", "0123456789abcdef"}, {"repeat", "65536"}});
  phone.addRule("slow", {{"text", "late\\n"}, {"delay-ms", "200"}});
  phone.addRule("stuck", {{"text", "partial\\n"}, {"hang", "yes"}});
  phone.set("pty", "no");

  const CommandResult nul = RunAdb(AdbCatMemInfo());
  EXPECT_EQ(nul.out, std::string("a\0b\xff\n", 5));
  EXPECT_EQ(nul.err, "warn\n");
  EXPECT_EQ(nul.exitStatus, 3);
  // The rule is for su only.
  EXPECT_EQ(Shell("cat proc/meminfo").exitStatus, 127);

  EXPECT_EQ(Shell("cat big").out.size(), 1048576u);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Shell("slow").out, "late\r\n");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
  const CommandResult stuck = Shell("stuck", 300ms);
  EXPECT_TRUE(stuck.timedOut);
  EXPECT_EQ(stuck.out, "partial\r\n");
}

TEST(FakePhoneTest, PhoneThatDisconnectsMidCommand) {
  FakePhone phone("android-11-samsung-sm-x200");
  phone.addRule("df", {{"text", "Filesystem 1K-blocks\\n/dev/block/dm-4 3694"},
                       {"err", "error: closed\\n"},
                       {"exit", "255"},
                       {"unplug", "yes"}});
  const CommandResult df = RunAdb(AdbDf());
  EXPECT_EQ(df.exitStatus, 255);
  EXPECT_EQ(df.err, "error: closed\n");
  EXPECT_EQ(CheckConnection(ParseDeviceList(RunAdb(AdbDevices()).out)).verdict,
            ConnectionVerdict::kNoDevice);
  EXPECT_EQ(RunAdb(AdbMount()).err, "adb: no devices/emulators found\n");
}

TEST(FakePhoneTest, WirelessLink) {
  FakePhone phone("android-5-lge-nexus5");
  EXPECT_EQ(RunAdb(AdbTcpip()).out, "restarting in TCP mode port: 5555\n");
  const AdbCommandBuild connect = AdbConnect("10.129.160.99");
  ASSERT_TRUE(connect);
  EXPECT_EQ(RunAdb(*connect.command).out, "connected to 10.129.160.99:5555\n");
  const std::string list = RunAdb(AdbDevices()).out;
  EXPECT_NE(list.find("10.129.160.99:5555\tdevice"), std::string::npos);

  phone.set("connect", "refused");
  const CommandResult refused = RunAdb(*AdbConnect("10.0.0.9").command);
  EXPECT_EQ(refused.out, "failed to connect to '10.0.0.9:5555': Connection refused\n");
  EXPECT_EQ(refused.exitStatus, 1);
}

TEST(FakePhoneTest, CallLogHoldsEveryArgumentAsRun) {
  FakePhone phone("android-4.0-freescale-imx6q");
  RunAdb(AdbDevices());
  RunAdb(*ForDevice(AdbProcessList(), "0123456789ABCDEF").command);
  RunProgram({"adb", "shell", "echo", "a\tb\nc"}, 5s);
  const auto calls = phone.calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].args, (std::vector<std::string>{"devices"}));
  EXPECT_EQ(calls[0].phoneCommand, "");
  EXPECT_EQ(calls[1].args,
            (std::vector<std::string>{"-s", "0123456789ABCDEF", "shell", "su -c \"ps\""}));
  EXPECT_EQ(calls[1].phoneCommand, "su -c \"ps\"");
  EXPECT_EQ(calls[2].args, (std::vector<std::string>{"shell", "echo", "a\tb\nc"}));
  EXPECT_EQ(calls[2].phoneCommand, "echo a\tb\nc");
  phone.clearCalls();
  EXPECT_TRUE(phone.calls().empty());
}

TEST(FakePhoneTest, ScriptedCopyGrowsAndPsFollowsIt) {
  const struct {
    const char* profile;
    bool psListsDd;
  } cases[] = {{"android-2.2-samsung-gt-p1010", true}, {"android-8.1-mediatek-mt6580", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.profile);
    FakePhone phone(c.profile);
    phone.set("copy-rate", "2000000");  // 2 MB/s
    phone.set("copy-size", "1000000");  // half a second
    const AdbCommandBuild dd = AdbDdCopy("/dev/block/mmcblk0p23", "/sdcard/cache.img");
    ASSERT_TRUE(dd);
    ChildProcess copy;
    ASSERT_TRUE(copy.start(dd.command->argv));
    std::this_thread::sleep_for(150ms);
    const CommandResult ps = RunAdb(AdbProcessList());
    EXPECT_EQ(SplitLines(ps.out).back().ends_with(" dd"), c.psListsDd) << ps.out;
    const auto size = [] {
      const CommandResult ls = RunAdb(*AdbImagingListing("/sdcard/cache.img").command);
      const auto words = Words(SplitLines(ls.out).at(0));
      return std::stoull(std::string(words.at(words[1] == "1" ? 4 : 3)));
    };
    const unsigned long long early = size();
    EXPECT_GT(early, 0u);
    EXPECT_LT(early, 1000000u);
    EXPECT_TRUE(copy.waitFor(3s));
    EXPECT_EQ(copy.exitStatus(), 0);
    EXPECT_EQ(size(), 1000000u);
    EXPECT_FALSE(SplitLines(RunAdb(AdbProcessList()).out).back().ends_with(" dd"));
  }
}

TEST(FakePhoneTest, CopiesThatStopShortOrFail) {
  FakePhone phone("android-8.1-mediatek-mt6580");
  phone.set("copy-size", "4096");
  phone.set("copy-end", "short:1024");
  EXPECT_EQ(RunAdb(*AdbDdCopy("/dev/block/mmcblk0", "/sdcard/a.img").command).exitStatus, 0);
  EXPECT_NE(RunAdb(*AdbImagingListing("/sdcard/a.img").command).out.find(" 1024 "),
            std::string::npos);
  phone.set("copy-end", "fail:512");
  const CommandResult failed = RunAdb(*AdbDdCopy("/dev/block/mmcblk0", "/sdcard/b.img").command);
  EXPECT_EQ(failed.exitStatus, 1);
  EXPECT_TRUE(failed.err.starts_with("dd: write error")) << failed.err;

  const fs::path folder = phone.folder() / "pc";
  fs::create_directories(folder);
  const CommandResult pull = RunAdb(*AdbPull("/sdcard/a.img", folder.string()).command);
  EXPECT_EQ(pull.exitStatus, 1);
  EXPECT_EQ(fs::file_size(folder / "a.img"), 512u);
}

TEST(FakePhoneTest, FileWayNeedsTheModeRelaxedAndPutBack) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.writeProfileFile("mmssms.db", std::string(3000, 'S'));
  phone.addFile("/data/data/com.android.providers.telephony/databases/mmssms.db", "-rw-rw----", 0,
                "mmssms.db");
  const std::string source = "/data/data/com.android.providers.telephony/databases/mmssms.db";
  const fs::path folder = phone.folder() / "中文 文件夹";
  fs::create_directories(folder);

  EXPECT_EQ(RunAdb(*AdbImagingListing(source).command).out,
            "-rw-rw---- system   sdcard_rw     3000 2013-05-01 12:00 mmssms.db\r\n");
  const CommandResult denied = RunAdb(*AdbPull(source, folder.string()).command);
  EXPECT_EQ(denied.exitStatus, 1);
  EXPECT_NE(denied.err.find("Permission denied"), std::string::npos);

  RunAdb(*AdbChmod("664", source).command);
  EXPECT_TRUE(RunAdb(*AdbImagingListing(source).command).out.starts_with("-rw-rw-r--"));
  const CommandResult pulled = RunAdb(*AdbPull(source, folder.string()).command);
  EXPECT_EQ(pulled.exitStatus, 0) << pulled.err;
  EXPECT_EQ(ReadFile(folder / "mmssms.db"), std::string(3000, 'S'));
  RunAdb(*AdbChmod("660", source).command);
  EXPECT_EQ(phone.chmodLog(), (std::vector<std::string>{"664 " + source, "660 " + source}));
}

TEST(FakePhoneTest, SandboxShowsThatAnInjectedNameWouldRunAndTheCheckStopsIt) {
  FakePhone phone("android-8.1-mediatek-mt6580");
  phone.set("shell", "sandbox");
  const fs::path sandbox = phone.folder() / "sandbox";
  // The check refuses the name, so nothing reaches the phone.
  const AdbCommandBuild refused = AdbListDirectory("/sdcard/a;touch PWNED");
  EXPECT_FALSE(refused);
  EXPECT_TRUE(phone.calls().empty());
  // The sandbox is a real shell: the same text unchecked would have run.
  const CommandResult unchecked = Shell("su -c \"ls -l /sdcard/a;touch PWNED\"");
  EXPECT_TRUE(fs::exists(sandbox / "PWNED")) << unchecked.err;
  fs::remove(sandbox / "PWNED");
  // A safe name runs, and creates nothing.
  fs::create_directories(sandbox / "a");
  const CommandResult listed = RunAdb(*AdbListDirectory((sandbox / "a").string()).command);
  EXPECT_EQ(listed.exitStatus, 0) << listed.err;
  EXPECT_FALSE(fs::exists(sandbox / "PWNED"));
}

TEST(FakePhoneTest, MissingAdbIsReportedWithHowToInstallIt) {
  const char* old = getenv("PATH");
  const std::string saved = old != nullptr ? old : "";
  setenv("PATH", "/nonexistent-orv-folder", 1);
  const CommandResult result = RunAdb(AdbDevices());
  setenv("PATH", saved.c_str(), 1);
  EXPECT_FALSE(result.started);
  EXPECT_NE(AdbNotStartedText(result).find("apt install adb"), std::string::npos);
}

TEST(FakePhoneTest, UnknownProfileIsAnError) {
  EXPECT_THROW(FakePhone("no-such-profile"), std::runtime_error);
  EXPECT_THROW(FakePhone(""), std::runtime_error);
}

TEST(FakePhoneTest, MalformedProfileIsReportedNotGuessed) {
  FakePhone phone("no-phone-linux");
  phone.set("su", "sometimes");
  const CommandResult result = RunAdb(AdbDevices());
  EXPECT_EQ(result.exitStatus, 99);
  EXPECT_NE(result.err.find("su = sometimes"), std::string::npos);
}

}  // namespace
}  // namespace orv
