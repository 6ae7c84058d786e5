#include "device/wireless_address.h"

#include <gtest/gtest.h>

#include "device/phone_samples.h"

namespace orv {
namespace {

using test::kAllLineEnds;
using test::PhoneSample;
using test::WithLineEnds;

struct NetcfgCase {
  const char* phone;
  const char* file;
  const char* shown;
  const char* address;
};

TEST(FindWirelessAddress, RealInterfaceLists) {
  const NetcfgCase cases[] = {
      {"lge-nexus5-probable-android-5.x", "netcfg.txt", "10.129.160.99/20", "10.129.160.99"},
      {"unknown-samsung-android-2.x-toolbox-netcfg", "netcfg-wlan0-up.txt", "192.168.1.105",
       "192.168.1.105"},
      {"unknown-samsung-android-2.x-toolbox-netcfg", "netcfg.txt", "0.0.0.0", "0.0.0.0"},
  };
  for (const NetcfgCase& c : cases) {
    for (const test::LineEnd end : kAllLineEnds) {
      WirelessAddressError error{};
      const auto found =
          FindWirelessAddress(WithLineEnds(PhoneSample(c.phone, c.file), end), error);
      ASSERT_TRUE(found) << c.phone << ' ' << test::LineEndName(end);
      EXPECT_EQ(found->shown, c.shown);
      EXPECT_EQ(found->address, c.address);
    }
  }
}

TEST(FindWirelessAddress, FirstWirelessLineWins) {
  WirelessAddressError error{};
  const auto found = FindWirelessAddress(
      "lo       UP    127.0.0.1/8\r\r\neth0     UP    10.0.0.7/8 0x1\r\r\nwlan0 UP "
      "192.168.1.5/24\r\r\n",
      error);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->address, "10.0.0.7");
  const auto atStart = FindWirelessAddress("wlan0:192.168.1.5/24\n", error);
  ASSERT_TRUE(atStart);
  EXPECT_EQ(atStart->shown, "wlan0:192.168.1.5/24");  // no blank before the dot: from the start
}

TEST(FindWirelessAddress, FailuresSayWhichStep) {
  WirelessAddressError error{};
  EXPECT_FALSE(FindWirelessAddress("", error));
  EXPECT_EQ(error, WirelessAddressError::kNoLines);
  EXPECT_FALSE(FindWirelessAddress("\r\r\n\r\r\n", error));
  EXPECT_EQ(error, WirelessAddressError::kNoLines);
  EXPECT_FALSE(FindWirelessAddress("lo UP 127.0.0.1/8\n", error));
  EXPECT_EQ(error, WirelessAddressError::kNoInterface);
  EXPECT_FALSE(FindWirelessAddress("wlan0 DOWN\n", error));  // no dot: no silent end
  EXPECT_EQ(error, WirelessAddressError::kNoInterface);
  EXPECT_FALSE(FindWirelessAddress("/system/bin/sh: netcfg: not found\n", error));
  EXPECT_EQ(error, WirelessAddressError::kNoInterface);
}

TEST(IsReachableIPv4, OnlyDottedAddressesAnotherMachineCanReach) {
  for (const char* good : {"192.168.1.5", "10.129.160.99", "1.0.0.0", "255.255.255.254"}) {
    EXPECT_TRUE(IsReachableIPv4(good)) << good;
  }
  for (const char* bad : {"0.0.0.0", "127.0.0.1", "127.1.2.3", "192.168.1", "192.168.1.5.6",
                          "192.168.1.256", "192.168.1.", ".1.2.3", "1.2.3.04x", "1.2.3.0001",
                          "a.b.c.d", "192.168.1.5;reboot", "", "1.2.3.-4"}) {
    EXPECT_FALSE(IsReachableIPv4(bad)) << bad;
  }
}

TEST(DeviceListShowsReady, OnlyTheExactReadyRow) {
  const std::string list =
      "List of devices attached\r\n192.168.1.50:5555\tdevice\r\n10.0.0.2:5555\toffline\r\n";
  EXPECT_TRUE(DeviceListShowsReady(list, "192.168.1.50"));
  EXPECT_FALSE(DeviceListShowsReady(list, "192.168.1.5"));
  EXPECT_FALSE(DeviceListShowsReady(list, "10.0.0.2"));
  EXPECT_FALSE(DeviceListShowsReady("List of devices attached\n", "192.168.1.5"));
  EXPECT_TRUE(DeviceListShowsReady(
      "List of devices attached\ncf264b8f\tdevice\n192.168.1.5:5555\tdevice\n", "192.168.1.5"));
  EXPECT_FALSE(DeviceListShowsReady("x192.168.1.5:5555\tdevice\n", "192.168.1.5"));
}

}  // namespace
}  // namespace orv
