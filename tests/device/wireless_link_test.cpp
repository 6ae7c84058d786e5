// The wireless link against the fake phone.

#include "device/wireless_link.h"

#include <gtest/gtest.h>

#include "device/fake_phone.h"
#include "device/wireless_link_flag.h"

namespace orv {
namespace {

using testing::FakePhone;

class RecordingLinkView : public WirelessLinkView {
 public:
  void showAddress(const std::string& address) override { address_ = address; }
  void showCommandOutput(std::string_view output) override { output_ = output; }
  void showMessage(std::string_view text) override { messages.emplace_back(text); }

  std::string address_;
  std::string output_;
  std::vector<std::string> messages;
};

constexpr WirelessLinkTimings kQuick{2, std::chrono::milliseconds(10)};

bool Ran(const FakePhone& phone, const std::string& first) {
  for (const FakePhone::Call& call : phone.calls()) {
    if (!call.args.empty() && call.args[0] == first) return true;
  }
  return false;
}

void SetNetcfg(FakePhone& phone, const std::string& text) {
  phone.addRule("netcfg", {{"text", text}});
}

TEST(RunWirelessLink, ConnectsWhenTheExactRowIsReady) {
  FakePhone phone("android-4.1-huawei-g740");
  SetNetcfg(
      phone,
      "lo       UP    127.0.0.1/8   0x00000049\\nwlan0    UP    192.168.1.50/24  0x00001043\\n");
  WirelessLinkFlag().store(false);
  RecordingLinkView view;
  EXPECT_EQ(RunWirelessLink(view, kQuick), WirelessLinkOutcome::kConnected);
  EXPECT_EQ(view.address_, "192.168.1.50/24");
  EXPECT_EQ(view.messages, std::vector<std::string>{"WIFI无线联接成功"});
  EXPECT_TRUE(WirelessLinkFlag().load());
  EXPECT_TRUE(Ran(phone, "tcpip"));
}

TEST(RunWirelessLink, ARefusedConnectionFailsAfterItsAttempts) {
  FakePhone phone("android-4.1-huawei-g740");
  SetNetcfg(phone, "wlan0    UP    192.168.1.5/24  0x00001043\\n");
  phone.set("connect", "refused");
  RecordingLinkView view;
  EXPECT_EQ(RunWirelessLink(view, kQuick), WirelessLinkOutcome::kConnectFailed);
  EXPECT_EQ(view.messages, std::vector<std::string>{"WIFI无线联接失败"});
  int connects = 0;
  for (const FakePhone::Call& call : phone.calls()) connects += call.args.at(0) == "connect";
  EXPECT_EQ(connects, kQuick.connectAttempts);
}

struct NoAddressCase {
  const char* name;
  const char* netcfg;  // empty: the phone has no netcfg
  const char* message;
};

class RunWirelessLinkNoAddress : public ::testing::TestWithParam<NoAddressCase> {};

TEST_P(RunWirelessLinkNoAddress, LeavesThePhoneOnUsb) {
  FakePhone phone("android-4.1-huawei-g740");
  if (*GetParam().netcfg) {
    SetNetcfg(phone, GetParam().netcfg);
  } else {
    phone.set("netcfg", "no");
  }
  RecordingLinkView view;
  EXPECT_EQ(RunWirelessLink(view, kQuick), WirelessLinkOutcome::kNoAddress);
  EXPECT_EQ(view.messages, std::vector<std::string>{GetParam().message});
  EXPECT_FALSE(Ran(phone, "tcpip"));
  EXPECT_FALSE(Ran(phone, "connect"));
}

constexpr const char* kFailed = "获取无线IP地址失败，请重新再试!";

INSTANTIATE_TEST_SUITE_P(
    Lists, RunWirelessLinkNoAddress,
    ::testing::Values(
        NoAddressCase{"WifiOff", "wlan0    DOWN  0.0.0.0/0   0x00001002\\n", kFailed},
        NoAddressCase{"Loopback", "eth0     UP    127.0.0.1/8   0x00000049\\n", kFailed},
        NoAddressCase{"NoDot", "wlan0    DOWN\\n", kFailed}, NoAddressCase{"NoNetcfg", "", kFailed},
        NoAddressCase{"Empty", "\\n",
                      "获取无线IP地址结果为空，请确保手机USB线联接正常以及是否打开了手机WIFI并正确"
                      "的进行了无线联接，重新点击按钮再试!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunWirelessLink, NoUsbPhoneRunsNothingElse) {
  FakePhone phone("android-4.1-huawei-g740");
  phone.set("devices", "none");
  WirelessLinkFlag().store(false);
  RecordingLinkView view;
  EXPECT_EQ(RunWirelessLink(view, kQuick), WirelessLinkOutcome::kNoUsbPhone);
  EXPECT_EQ(view.messages, std::vector<std::string>{"手机连接失败,请检查USB连接线并再次点击按钮!"});
  EXPECT_TRUE(WirelessLinkFlag().load());
  EXPECT_TRUE(phone.phoneCommands().empty());
}

}  // namespace
}  // namespace orv
