#include "device/wireless_link.h"

#include <thread>

#include "device/adb_commands.h"
#include "device/device_list.h"
#include "device/wireless_address.h"
#include "device/wireless_link_flag.h"

namespace orv {
namespace {

constexpr std::string_view kUsbMessage = "手机连接失败,请检查USB连接线并再次点击按钮!";
constexpr std::string_view kNoInterfaceListMessage =
    "获取无线IP地址结果为空，请确保手机USB线联接正常以及是否打开了手机WIFI并正确的进行了无线联接，"
    "重新点击按钮再试!";
constexpr std::string_view kNoAddressMessage = "获取无线IP地址失败，请重新再试!";

}  // namespace

WirelessLinkOutcome RunWirelessLink(WirelessLinkView& view, WirelessLinkTimings timings) {
  WirelessLinkFlag().store(true);
  view.showAddress({});
  const CommandResult devices = RunAdb(AdbDevices());
  if (!CheckConnection(ParseDeviceList(devices.out + devices.err)).connected()) {
    view.showMessage(kUsbMessage);
    return WirelessLinkOutcome::kNoUsbPhone;
  }

  const CommandResult netcfg = RunAdb(AdbNetcfg());
  view.showCommandOutput(netcfg.out);
  WirelessAddressError error{};
  const std::optional<WirelessAddress> found = FindWirelessAddress(netcfg.out, error);
  if (!found) {
    view.showMessage(error == WirelessAddressError::kNoLines ? kNoInterfaceListMessage
                                                             : kNoAddressMessage);
    return WirelessLinkOutcome::kNoAddress;
  }
  view.showAddress(found->shown);
  const AdbCommandBuild connect = AdbConnect(found->address);
  if (!IsReachableIPv4(found->address) || !connect) {
    view.showMessage(kNoAddressMessage);
    return WirelessLinkOutcome::kNoAddress;
  }

  RunAdb(AdbTcpip());
  for (int attempt = 0; attempt < timings.connectAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(timings.betweenAttempts);
    view.showCommandOutput(RunAdb(*connect.command).out);
    const CommandResult listed = RunAdb(AdbDevices());
    view.showCommandOutput(listed.out);
    if (DeviceListShowsReady(listed.out, found->address)) {
      view.showMessage("WIFI无线联接成功");
      return WirelessLinkOutcome::kConnected;
    }
  }
  view.showMessage("WIFI无线联接失败");
  return WirelessLinkOutcome::kConnectFailed;
}

}  // namespace orv
