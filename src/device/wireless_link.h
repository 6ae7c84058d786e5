#pragma once
// The wireless link: with the phone still on USB, find its wireless address,
// switch its adb daemon to TCP port 5555 and connect adb to it, so that later
// commands reach the phone without the cable.

#include <chrono>
#include <string>
#include <string_view>

namespace orv {

class WirelessLinkView {
 public:
  virtual ~WirelessLinkView() = default;
  virtual void showAddress(const std::string& address) = 0;  // "WLan IP:"
  virtual void showCommandOutput(std::string_view output) = 0;
  virtual void showMessage(std::string_view text) = 0;  // "提示", returns when closed
};

enum class WirelessLinkOutcome {
  kConnected,
  kNoUsbPhone,     // the phone is not on USB
  kNoAddress,      // the interface list is empty or names no usable address
  kConnectFailed,  // the device list does not show the address ready
};

struct WirelessLinkTimings {
  // adbd restarts after `adb tcpip`; connecting is tried this many times, this far apart.
  int connectAttempts = 3;
  std::chrono::milliseconds betweenAttempts{1000};
};

// Runs the whole link on the calling thread (a worker; several commands wait
// on the network). Sets the process-wide wireless-link flag first. The phone
// is switched to TCP only for a dotted IPv4 address other than 0.0.0.0 and
// 127.x, so a phone without a usable address keeps its USB link.
WirelessLinkOutcome RunWirelessLink(WirelessLinkView& view, WirelessLinkTimings timings = {});

}  // namespace orv
