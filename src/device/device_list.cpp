#include "device/device_list.h"

#include <algorithm>

#include "device/line_helpers.h"
#include "device/phone_path.h"

namespace orv {
namespace {

constexpr std::string_view kHeader = "List of devices attached";

DeviceState StateOf(std::string_view text) {
  struct Known {
    std::string_view prefix;
    DeviceState state;
  };
  static constexpr Known kKnown[] = {
      {"device", DeviceState::kDevice},
      {"offline", DeviceState::kOffline},
      {"unauthorized", DeviceState::kUnauthorized},
      {"no permissions", DeviceState::kNoPermissions},
      {"recovery", DeviceState::kRecovery},
      {"sideload", DeviceState::kSideload},
      {"bootloader", DeviceState::kBootloader},
      {"host", DeviceState::kHost},
  };
  for (const auto& known : kKnown) {
    if (!text.starts_with(known.prefix)) continue;
    // A whole word: "device" but not "devicex"; "no permissions" may be
    // followed by its explanation.
    const std::string_view rest = text.substr(known.prefix.size());
    if (rest.empty() || rest.front() == ' ' || rest.front() == '\t' || rest.front() == '(' ||
        known.state == DeviceState::kNoPermissions) {
      return known.state;
    }
  }
  return DeviceState::kOther;
}

bool IsDaemonLine(std::string_view line) { return line.starts_with("* "); }

}  // namespace

DeviceList ParseDeviceList(std::string_view output) {
  DeviceList list;
  for (const std::string_view raw : SplitLines(output)) {
    const std::string_view line = TrimBlanks(raw);
    if (line.empty() || IsDaemonLine(line)) continue;
    if (line == kHeader) {
      list.headerSeen = true;
      continue;
    }
    if (!list.headerSeen) continue;
    const std::vector<std::string_view> words = Words(line);
    if (words.size() < 2) continue;
    ListedDevice device;
    device.serial = std::string(words[0]);
    const std::size_t stateAt = line.find_first_not_of(" \t", words[0].size());
    device.stateText = std::string(line.substr(stateAt));
    device.state = StateOf(device.stateText);
    list.devices.push_back(std::move(device));
  }
  return list;
}

ConnectionCheck CheckConnection(const DeviceList& list, std::string_view chosenSerial) {
  ConnectionCheck check;
  for (const auto& device : list.devices) check.serials.push_back(device.serial);
  if (!list.headerSeen) {
    check.verdict = ConnectionVerdict::kNoAnswer;
    return check;
  }
  const ListedDevice* judged = nullptr;
  if (!chosenSerial.empty()) {
    const auto found =
        std::find_if(list.devices.begin(), list.devices.end(),
                     [&](const ListedDevice& d) { return d.serial == chosenSerial; });
    if (found == list.devices.end()) {
      check.verdict = ConnectionVerdict::kChosenMissing;
      check.serial = std::string(chosenSerial);
      return check;
    }
    judged = &*found;
  } else if (list.devices.empty()) {
    check.verdict = ConnectionVerdict::kNoDevice;
    return check;
  } else if (list.devices.size() > 1) {
    check.verdict = ConnectionVerdict::kChooseOne;
    return check;
  } else {
    judged = &list.devices.front();
  }
  check.serial = judged->serial;
  switch (judged->state) {
    case DeviceState::kDevice:
      check.verdict = ConnectionVerdict::kConnected;
      break;
    case DeviceState::kOffline:
      check.verdict = ConnectionVerdict::kOffline;
      break;
    case DeviceState::kUnauthorized:
      check.verdict = ConnectionVerdict::kUnauthorized;
      break;
    case DeviceState::kNoPermissions:
      check.verdict = ConnectionVerdict::kNoPermissions;
      break;
    default:
      check.verdict = ConnectionVerdict::kNotInSystem;
      break;
  }
  return check;
}

std::string ConnectionAdvice(const ConnectionCheck& check) {
  // Serials come from the phone: shown with their control bytes escaped.
  const std::string serial = PrintableForLog(check.serial);
  switch (check.verdict) {
    case ConnectionVerdict::kConnected:
      return {};
    case ConnectionVerdict::kNoAnswer:
      return "adb没有给出设备列表，请确认adb已安装并可以运行";
    case ConnectionVerdict::kNoDevice:
      return "没有发现已连接的手机，请检查USB连接线并确认手机已打开USB调试";
    case ConnectionVerdict::kOffline:
      return "手机" + serial + "处于离线(offline)状态，请重新插拔USB连接线";
    case ConnectionVerdict::kUnauthorized:
      return "手机" + serial +
             "尚未授权这台电脑，请在手机屏幕上的\"允许USB调试吗?\"对话框中点击允许";
    case ConnectionVerdict::kNoPermissions:
      return "当前用户没有访问手机" + serial +
             "的权限。Linux下请安装android-sdk-platform-tools-common提供的udev规则，"
             "把当前用户加入plugdev组，重新登录并重新插拔手机";
    case ConnectionVerdict::kNotInSystem:
      return "手机" + serial + "没有处于正常系统模式(如recovery或bootloader)，请重启手机进入系统";
    case ConnectionVerdict::kChooseOne: {
      std::string names;
      for (const auto& listed : check.serials) {
        names += (names.empty() ? "" : ", ") + PrintableForLog(listed);
      }
      return "连接了多台设备(" + names + ")，请只连接一台手机或选择其中一台";
    }
    case ConnectionVerdict::kChosenMissing:
      return "所选设备" + serial + "不在adb的设备列表中";
  }
  return {};
}

}  // namespace orv
