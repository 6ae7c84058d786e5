#pragma once
// The check the phone workers make before they talk to the phone: `adb
// devices` must list one usable phone, and must not say "denied". The
// workers report its outcome the same way: the connection-state item, the
// activity log, a message box and the connect button.

#include <functional>
#include <string>
#include <string_view>

#include "device/adb_commands.h"

namespace orv {

enum class Reachability {
  kReady,        // one phone in state device
  kRootRefused,  // adb's answer holds "denied"
  kNotReady,     // no phone, offline, unauthorized, several, adb missing ...
};

struct PhoneCheck {
  Reachability reachability = Reachability::kNotReady;
  std::string advice;  // what to do about kNotReady, for the activity log (may be empty)
};

// Runs `command` (adb devices) and judges its answer.
PhoneCheck CheckPhoneReachable(const AdbCommand& command);

// Where a worker reports the check (its view's calls).
struct ReachabilityReport {
  std::function<void(std::string_view type, std::string_view text)> log;
  std::function<void(std::string_view caption, int image)> connectionState;
  std::function<void(std::string_view text)> message;
  std::function<void()> enableConnectButton;
};

// Runs `adb devices`, logs the command, shows "连接正常" or "连接异常" and,
// when the phone cannot be used, logs why, shows the message and enables the
// connect button. True when the phone is ready.
bool CheckAndReportPhone(const ReachabilityReport& report);

}  // namespace orv
