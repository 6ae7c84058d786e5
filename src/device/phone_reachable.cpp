#include "device/phone_reachable.h"

#include "device/connect_view.h"
#include "device/device_list.h"

namespace orv {
namespace {

constexpr std::string_view kRootRefused =
    "您的手机似乎没有Root权限，请先使用Root工具进行权限获取，程序将退出!";
constexpr std::string_view kUsbBroken =
    "手机和电脑之间的USB连接线可能没有正常连接，请您重新插拔USB连接线并确保不存在接触问题";
constexpr std::string_view kUsbMessage = "手机连接失败,请检查USB连接线并再次点击按钮!";

}  // namespace

PhoneCheck CheckPhoneReachable(const AdbCommand& command) {
  const CommandResult result = RunAdb(command);
  PhoneCheck check;
  if (!result.started) {
    check.advice = AdbNotStartedText(result);
    return check;
  }
  const std::string answer = result.out + result.err;
  if (answer.find("denied") != std::string::npos) {
    check.reachability = Reachability::kRootRefused;
    return check;
  }
  const ConnectionCheck connection = CheckConnection(ParseDeviceList(answer));
  if (connection.connected()) {
    check.reachability = Reachability::kReady;
  } else {
    check.advice = ConnectionAdvice(connection);
  }
  return check;
}

bool CheckAndReportPhone(const ReachabilityReport& report) {
  const AdbCommand devices = AdbDevices();
  report.log("命令", devices.text);
  const PhoneCheck check = CheckPhoneReachable(devices);
  if (check.reachability == Reachability::kReady) {
    report.connectionState("连接正常", kStateImageConnected);
    return true;
  }
  report.connectionState("连接异常", kStateImageFailed);
  if (check.reachability == Reachability::kRootRefused) {
    report.log("最高权限", kRootRefused);
    report.message(kRootRefused);
  } else {
    report.log("连接异常", kUsbBroken);
    if (!check.advice.empty()) report.log("连接异常", check.advice);
    report.message(kUsbMessage);
  }
  report.enableConnectButton();
  return false;
}

}  // namespace orv
