#include "device/device_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/phone_samples.h"

namespace orv {
namespace {

using test::kAllLineEnds;
using test::LineEndName;
using test::WithLineEnds;

using V = ConnectionVerdict;

constexpr std::string_view kDaemon =
    "* daemon not running; starting now at tcp:5037\n* daemon started successfully\n";
constexpr std::string_view kNoPermissions =
    "no permissions (missing udev rules? user is in the plugdev group); see "
    "[http://developer.android.com/tools/device.html]";

struct ListCase {
  const char* name;
  std::string lfText;
  bool header;
  std::vector<std::string> serials;
  std::vector<DeviceState> states;
  ConnectionVerdict verdict;
};

std::vector<ListCase> Cases() {
  return {
      {"none (Debian, 26 bytes)", "List of devices attached\n\n", true, {}, {}, V::kNoDevice},
      {"none, legacy 29 bytes", "List of devices attached \n\n", true, {}, {}, V::kNoDevice},
      {"one",
       "List of devices attached\n00000000c000\tdevice\n\n",
       true,
       {"00000000c000"},
       {DeviceState::kDevice},
       V::kConnected},
      {"one, legacy",
       "List of devices attached \n0123456789ABCDEF\tdevice\n\n",
       true,
       {"0123456789ABCDEF"},
       {DeviceState::kDevice},
       V::kConnected},
      {"one, -l extras",
       "List of devices attached\nR58N\tdevice usb:1-1 product:a model:SM_X200 device:b "
       "transport_id:2\n\n",
       true,
       {"R58N"},
       {DeviceState::kDevice},
       V::kConnected},
      {"one, blanks not tab",
       "List of devices attached\nemulator-5554   device\n",
       true,
       {"emulator-5554"},
       {DeviceState::kDevice},
       V::kConnected},
      {"offline",
       "List of devices attached\nemulator-5554\toffline\n\n",
       true,
       {"emulator-5554"},
       {DeviceState::kOffline},
       V::kOffline},
      {"unauthorized",
       "List of devices attached\n0123456789ABCDEF\tunauthorized\n\n",
       true,
       {"0123456789ABCDEF"},
       {DeviceState::kUnauthorized},
       V::kUnauthorized},
      {"no permissions",
       "List of devices attached\n0123456789ABCDEF\t" + std::string(kNoPermissions) + "\n\n",
       true,
       {"0123456789ABCDEF"},
       {DeviceState::kNoPermissions},
       V::kNoPermissions},
      {"no permissions, old question marks",
       "List of devices attached\n????????????\tno permissions\n\n",
       true,
       {"????????????"},
       {DeviceState::kNoPermissions},
       V::kNoPermissions},
      {"recovery",
       "List of devices attached\nabc\trecovery\n\n",
       true,
       {"abc"},
       {DeviceState::kRecovery},
       V::kNotInSystem},
      {"sideload",
       "List of devices attached\nabc\tsideload\n\n",
       true,
       {"abc"},
       {DeviceState::kSideload},
       V::kNotInSystem},
      {"bootloader",
       "List of devices attached\nabc\tbootloader\n\n",
       true,
       {"abc"},
       {DeviceState::kBootloader},
       V::kNotInSystem},
      {"host",
       "List of devices attached\nabc\thost\n\n",
       true,
       {"abc"},
       {DeviceState::kHost},
       V::kNotInSystem},
      {"unknown state",
       "List of devices attached\nabc\tdevicex\n\n",
       true,
       {"abc"},
       {DeviceState::kOther},
       V::kNotInSystem},
      {"two",
       "List of devices "
       "attached\ncf264b8f\tdevice\nemulator-5554\tdevice\n10.129.164.6:5555\tdevice\n",
       true,
       {"cf264b8f", "emulator-5554", "10.129.164.6:5555"},
       {DeviceState::kDevice, DeviceState::kDevice, DeviceState::kDevice},
       V::kChooseOne},
      {"two, one offline",
       "List of devices attached\na\tdevice\nb\toffline\n\n",
       true,
       {"a", "b"},
       {DeviceState::kDevice, DeviceState::kOffline},
       V::kChooseOne},
      {"daemon lines on stdout",
       std::string(kDaemon) + "List of devices attached\n0123456789ABCDEF\tdevice\n\n",
       true,
       {"0123456789ABCDEF"},
       {DeviceState::kDevice},
       V::kConnected},
      {"daemon lines, none",
       std::string(kDaemon) + "List of devices attached\n\n",
       true,
       {},
       {},
       V::kNoDevice},
      {"empty", "", false, {}, {}, V::kNoAnswer},
      {"adb error only",
       "error: could not install *smartsocket* listener: Address in use\n",
       false,
       {},
       {},
       V::kNoAnswer},
      {"device line without header", "0123456789ABCDEF\tdevice\n", false, {}, {}, V::kNoAnswer},
      {"a serial alone", "List of devices attached\nabc\n\n", true, {}, {}, V::kNoDevice},
  };
}

TEST(DeviceListTest, EveryOutputWithEveryLineEnd) {
  for (const test::LineEnd end : kAllLineEnds) {
    for (const auto& c : Cases()) {
      SCOPED_TRACE(std::string(c.name) + " with " + std::string(LineEndName(end)));
      const DeviceList list = ParseDeviceList(WithLineEnds(c.lfText, end));
      EXPECT_EQ(list.headerSeen, c.header);
      ASSERT_EQ(list.devices.size(), c.serials.size());
      for (std::size_t i = 0; i < c.serials.size(); ++i) {
        EXPECT_EQ(list.devices[i].serial, c.serials[i]);
        EXPECT_EQ(list.devices[i].state, c.states[i]);
      }
      const ConnectionCheck check = CheckConnection(list);
      EXPECT_EQ(check.verdict, c.verdict);
      EXPECT_EQ(check.serials, c.serials);
      EXPECT_EQ(check.connected(), c.verdict == V::kConnected);
      EXPECT_EQ(ConnectionAdvice(check).empty(), c.verdict == V::kConnected);
    }
  }
}

TEST(DeviceListTest, StateTextKeepsTheExplanation) {
  const DeviceList list =
      ParseDeviceList("List of devices attached\nabc\t" + std::string(kNoPermissions) + "\r\r\n");
  ASSERT_EQ(list.devices.size(), 1u);
  EXPECT_EQ(list.devices[0].stateText, kNoPermissions);
}

TEST(DeviceListTest, AChosenSerialDecidesAlone) {
  const DeviceList list =
      ParseDeviceList("List of devices attached\nusb1\tdevice\nusb2\tunauthorized\n\n");
  const struct {
    const char* chosen;
    ConnectionVerdict verdict;
  } cases[] = {
      {"", V::kChooseOne},         {"usb1", V::kConnected},    {"usb2", V::kUnauthorized},
      {"usb3", V::kChosenMissing}, {"usb", V::kChosenMissing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen);
    const ConnectionCheck check = CheckConnection(list, c.chosen);
    EXPECT_EQ(check.verdict, c.verdict);
    if (*c.chosen != '\0') {
      EXPECT_EQ(check.serial, c.chosen);
    }
  }
}

TEST(DeviceListTest, AdviceNamesWhatTheUserMustDo) {
  const struct {
    std::string output;
    std::string mustMention;
  } cases[] = {
      {"List of devices attached\nabc\tunauthorized\n", "允许"},
      {"List of devices attached\nabc\tno permissions\n", "plugdev"},
      {"List of devices attached\nabc\tno permissions\n", "udev"},
      {"List of devices attached\nfirst\tdevice\nsecond\tdevice\n", "first, second"},
      {"List of devices attached\nabc\toffline\n", "offline"},
      {"List of devices attached\n\n", "USB"},
  };
  for (const auto& c : cases) {
    const std::string advice = ConnectionAdvice(CheckConnection(ParseDeviceList(c.output)));
    EXPECT_NE(advice.find(c.mustMention), std::string::npos) << advice;
  }
}

TEST(DeviceListTest, AdviceShowsAStrangeSerialHarmlessly) {
  const std::string advice = ConnectionAdvice(
      CheckConnection(ParseDeviceList("List of devices attached\na\x1b[2Jb\toffline\n")));
  EXPECT_EQ(advice.find('\x1b'), std::string::npos);
  EXPECT_NE(advice.find("a\\x1B[2Jb"), std::string::npos);
}

}  // namespace
}  // namespace orv
