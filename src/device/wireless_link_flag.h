#pragma once
// The process-wide wireless-link flag: set while the phone is reached over
// Wi-Fi (adb tcpip / adb connect). While it is set no worker runs
// `adb kill-server` after a failure, which would drop the wireless link.

#include <atomic>

namespace orv {

inline std::atomic<bool>& WirelessLinkFlag() {
  static std::atomic<bool> flag{false};
  return flag;
}

}  // namespace orv
