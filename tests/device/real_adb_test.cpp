// Debian's own adb, when installed (scripts/install-deps installs it): the
// device list of a machine without a phone reads as "no device".

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "device/adb_commands.h"
#include "device/device_list.h"

namespace orv {
namespace {

using namespace std::chrono_literals;

TEST(RealAdbTest, EmptyDeviceListMeansNoDevice) {
  if (FindProgram("adb").empty()) GTEST_SKIP() << "adb is not installed";
  // A server of our own, on a port no other adb user on this machine has.
  const std::string port = std::to_string(20000 + getpid() % 20000);
  setenv("ANDROID_ADB_SERVER_PORT", port.c_str(), 1);
  // Starting the server may take longer than the usual limit on a busy machine.
  const CommandResult devices = RunProgram(AdbDevices().argv, 30s);
  const CommandResult killed = RunAdb(AdbKillServer());
  unsetenv("ANDROID_ADB_SERVER_PORT");

  ASSERT_TRUE(devices.started);
  EXPECT_FALSE(devices.timedOut);
  EXPECT_EQ(devices.exitStatus, 0);
  EXPECT_EQ(devices.out, "List of devices attached\n\n");
  EXPECT_NE(devices.err.find("daemon"), std::string::npos) << devices.err;
  const DeviceList list = ParseDeviceList(devices.out + devices.err);
  EXPECT_TRUE(list.headerSeen);
  EXPECT_EQ(CheckConnection(list).verdict, ConnectionVerdict::kNoDevice);
  // The server started in its own session and outlived the client; it ends
  // when told to.
  EXPECT_FALSE(killed.timedOut);
  EXPECT_EQ(killed.exitStatus, 0);
}

}  // namespace
}  // namespace orv
