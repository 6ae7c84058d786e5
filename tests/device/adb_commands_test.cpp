#include "device/adb_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv {
namespace {

using namespace std::chrono_literals;
using Argv = std::vector<std::string>;

AdbCommand Take(const AdbCommandBuild& build) {
  EXPECT_TRUE(build) << build.refusal;
  return build ? *build.command : AdbCommand{};
}

struct CommandCase {
  const char* name;
  AdbCommand command;
  std::string text;  // the historic line, character for character
  Argv argv;
  std::chrono::milliseconds limit;
};

TEST(AdbCommandsTest, TextsAndArgumentVectors) {
  const std::string dev = "/dev/block/platform/msm_sdcc.1/by-name/userdata";
  const CommandCase cases[] = {
      {"devices", AdbDevices(), "adb devices", {"adb", "devices"}, kAdbServiceLimit},
      {"root check",
       AdbRootCheck(),
       "adb shell su -c \"ls\"",
       {"adb", "shell", "su -c \"ls\""},
       kFirstSuLimit},
      {"kill-server", AdbKillServer(), "adb kill-server", {"adb", "kill-server"}, kAdbServiceLimit},
      {"build.prop",
       AdbCatBuildProp(),
       "adb shell  su -c \"cat system/build.prop\"",
       {"adb", "shell", "su -c \"cat system/build.prop\""},
       kOrdinaryCommandLimit},
      {"cpuinfo",
       AdbCatCpuInfo(),
       "adb shell  su -c \"cat proc/cpuinfo\"",
       {"adb", "shell", "su -c \"cat proc/cpuinfo\""},
       kOrdinaryCommandLimit},
      {"meminfo",
       AdbCatMemInfo(),
       "adb shell  su -c \"cat proc/meminfo\"",
       {"adb", "shell", "su -c \"cat proc/meminfo\""},
       kOrdinaryCommandLimit},
      {"partitions",
       AdbCatPartitions(),
       "adb shell  su -c \"cat proc/partitions\"",
       {"adb", "shell", "su -c \"cat proc/partitions\""},
       kOrdinaryCommandLimit},
      {"df",
       AdbDf(),
       "adb shell  su -c \"df\"",
       {"adb", "shell", "su -c \"df\""},
       kOrdinaryCommandLimit},
      {"mount",
       AdbMount(),
       "adb shell  su -c  \"mount\"",
       {"adb", "shell", "su -c \"mount\""},
       kOrdinaryCommandLimit},
      {"link target",
       Take(AdbLinkTarget(dev)),
       "adb shell  su -c \"ls -l " + dev,
       {"adb", "shell", "su -c \"ls -l " + dev + "\""},
       kOrdinaryCommandLimit},
      {"directory",
       Take(AdbListDirectory("/sdcard/微信")),
       "adb shell su -c \"ls -l /sdcard/微信\"",
       {"adb", "shell", "su -c \"ls -l /sdcard/微信\""},
       kOrdinaryCommandLimit},
      {"netcfg",
       AdbNetcfg(),
       "adb shell su -c \"netcfg\"",
       {"adb", "shell", "su -c \"netcfg\""},
       kOrdinaryCommandLimit},
      {"tcpip", AdbTcpip(), "adb tcpip 5555", {"adb", "tcpip", "5555"}, kAdbServiceLimit},
      {"connect",
       Take(AdbConnect("192.168.1.105")),
       "adb connect 192.168.1.105:5555",
       {"adb", "connect", "192.168.1.105:5555"},
       kAdbServiceLimit},
      {"dd",
       Take(AdbDdCopy("/dev/block/mmcblk0p23", "/mnt/sdcard/cache.img")),
       "adb shell  su -c \"dd if=/dev/block/mmcblk0p23 of=/mnt/sdcard/cache.img\"",
       {"adb", "shell", "su -c \"dd if=/dev/block/mmcblk0p23 of=/mnt/sdcard/cache.img\""},
       kCopyCommandLimit},
      {"image size",
       Take(AdbImagingListing("/mnt/sdcard/cache.img")),
       "adb shell  su -c \"ls -l /mnt/sdcard/cache.img\"",
       {"adb", "shell", "su -c \"ls -l /mnt/sdcard/cache.img\""},
       kOrdinaryCommandLimit},
      {"ps",
       AdbProcessList(),
       "adb shell  su -c \"ps\"",
       {"adb", "shell", "su -c \"ps\""},
       kOrdinaryCommandLimit},
      {"chmod",
       Take(AdbChmod("664", "/data/data/x/databases/mmssms.db")),
       "adb shell  su -c \"chmod 664 /data/data/x/databases/mmssms.db\"",
       {"adb", "shell", "su -c \"chmod 664 /data/data/x/databases/mmssms.db\""},
       kOrdinaryCommandLimit},
      {"pull",
       Take(AdbPull("/mnt/sdcard/cache.img", "C:\\my images\\手机")),
       "adb pull  /mnt/sdcard/cache.img C:\\my images\\手机",
       {"adb", "pull", "/mnt/sdcard/cache.img", "C:\\my images\\手机"},
       kCopyCommandLimit},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.command.text, c.text);
    EXPECT_EQ(c.command.argv, c.argv);
    EXPECT_EQ(c.command.timeLimit, c.limit);
    // The phone's shell runs the one shell argument; adb's own commands have none.
    const bool shell = c.argv.size() == 3 && c.argv[1] == "shell";
    EXPECT_EQ(c.command.phoneCommand, shell ? c.argv[2] : "");
  }
}

TEST(AdbCommandsTest, LimitsFollowTheKindOfCommand) {
  EXPECT_EQ(kAdbServiceLimit, 5000ms);
  EXPECT_EQ(kOrdinaryCommandLimit, 10000ms);
  EXPECT_EQ(kFirstSuLimit, 60000ms);
}

TEST(AdbCommandsTest, UnsafePhoneTextIsRefusedByEveryBuilder) {
  const std::string bad = "/sdcard/a;touch PWNED";
  const AdbCommandBuild builds[] = {
      AdbLinkTarget(bad),
      AdbListDirectory(bad),
      AdbDdCopy(bad, "/sdcard/x.img"),
      AdbDdCopy("/dev/block/mmcblk0", bad),
      AdbImagingListing(bad),
      AdbChmod("664", bad),
      AdbPull(bad, "/tmp"),
  };
  for (const auto& build : builds) {
    EXPECT_FALSE(build);
    EXPECT_NE(build.refusal.find("/sdcard/a;touch PWNED"), std::string::npos) << build.refusal;
    EXPECT_NE(build.refusal.find("命令未执行"), std::string::npos);
  }
  // A newline is shown, not obeyed, in the log line.
  const AdbCommandBuild newline = AdbListDirectory("/sdcard/a\nreboot");
  EXPECT_NE(newline.refusal.find("/sdcard/a\\nreboot"), std::string::npos);
}

TEST(AdbCommandsTest, OtherArgumentsAreChecked) {
  const struct {
    const char* name;
    AdbCommandBuild build;
    bool built;
  } cases[] = {
      {"mode 664", AdbChmod("664", "/sdcard/x"), true},
      {"mode 000", AdbChmod("000", "/sdcard/x"), true},
      {"mode 777", AdbChmod("777", "/sdcard/x"), true},
      {"mode 8", AdbChmod("668", "/sdcard/x"), false},
      {"mode of two digits", AdbChmod("64", "/sdcard/x"), false},
      {"mode of four digits", AdbChmod("0664", "/sdcard/x"), true},
      {"mode with special bits", AdbChmod("4750", "/sdcard/x"), true},
      {"mode of five digits", AdbChmod("04664", "/sdcard/x"), false},
      {"mode of four digits with an 8", AdbChmod("0668", "/sdcard/x"), false},
      {"mode with a shell word", AdbChmod("6;4", "/sdcard/x"), false},
      {"address", AdbConnect("10.129.160.99"), true},
      {"host name", AdbConnect("phone.local"), true},
      {"address part 255", AdbConnect("255.255.255.255"), true},
      {"address part 256 reads as a host name", AdbConnect("256.1.1.1"), true},
      {"address with a port", AdbConnect("10.0.0.1:5555"), false},
      {"address with a blank", AdbConnect("10.0.0.1 x"), false},
      {"address as an option", AdbConnect("-h"), false},
      {"empty address", AdbConnect(""), false},
      {"address with a semicolon", AdbConnect("1.2.3.4;reboot"), false},
      {"empty PC folder", AdbPull("/sdcard/x", ""), false},
      {"PC folder with NUL", AdbPull("/sdcard/x", std::string("C:\\a\0b", 6)), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(static_cast<bool>(c.build), c.built) << c.build.refusal;
    EXPECT_EQ(c.build.refusal.empty(), c.built);
  }
}

TEST(AdbCommandsTest, ForDeviceAimsAtOneSerial) {
  const AdbCommand aimed = Take(ForDevice(AdbDf(), "192.168.1.5:5555"));
  EXPECT_EQ(aimed.text, "adb -s 192.168.1.5:5555 shell  su -c \"df\"");
  EXPECT_EQ(aimed.argv, (Argv{"adb", "-s", "192.168.1.5:5555", "shell", "su -c \"df\""}));
  EXPECT_EQ(aimed.phoneCommand, "su -c \"df\"");
  for (const char* serial : {"", "-d", "a b", "x;y", "$(id)", "??????"}) {
    SCOPED_TRACE(serial);
    EXPECT_FALSE(ForDevice(AdbDevices(), serial));
  }
}

TEST(AdbCommandsTest, NotStartedTextTellsHowToInstallAdb) {
  CommandResult missing;
  missing.startError = std::string(kProgramNotFound) + "adb";
  EXPECT_NE(AdbNotStartedText(missing).find("sudo apt install adb"), std::string::npos);
  CommandResult other;
  other.startError = "command line too long";
  EXPECT_EQ(AdbNotStartedText(other), "adb程序无法启动: command line too long");
  CommandResult started;
  started.started = true;
  EXPECT_EQ(AdbNotStartedText(started), "");
}

}  // namespace
}  // namespace orv
