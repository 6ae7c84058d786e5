#include "device/phone_reachable.h"

#include "device/device_list.h"

namespace orv {

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

}  // namespace orv
