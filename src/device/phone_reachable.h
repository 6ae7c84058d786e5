#pragma once
// The check the phone workers make before they talk to the phone: `adb
// devices` must list one usable phone, and must not say "denied".

#include <string>

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

}  // namespace orv
