#pragma once
// What `adb devices` printed, and whether that means one usable phone.
//
// The list looks like
//   * daemon not running; starting now at tcp:5037     (either stream)
//   * daemon started successfully
//   List of devices attached
//   0123456789ABCDEF	device
//   emulator-5554	offline
//   ????????????	no permissions (user in plugdev group; are your udev rules wrong?); see
//   [...]
// with LF, CR LF or CR CR LF line ends; `adb devices -l` adds extras after
// the state ("product:x model:y"). The Windows adb of old printed the header
// with a trailing blank and CR CR LF, the empty list being 29 bytes; Debian's
// prints 26. Neither length is used here.

#include <string>
#include <string_view>
#include <vector>

namespace orv {

enum class DeviceState {
  kDevice,         // ready: the only state commands may be sent to
  kOffline,        // attached but not answering
  kUnauthorized,   // the debugging prompt on the phone was not accepted
  kNoPermissions,  // Linux: the user may not open the USB device
  kRecovery,
  kSideload,
  kBootloader,
  kHost,
  kOther,  // a state this program does not know
};

struct ListedDevice {
  std::string serial;
  DeviceState state = DeviceState::kOther;
  std::string stateText;  // as printed, e.g. "no permissions (…); see […]"
};

struct DeviceList {
  bool headerSeen = false;  // "List of devices attached" was printed
  std::vector<ListedDevice> devices;
};

// Reads the device lines of `output` (standard output; pass standard error
// too when the caller captured it, daemon lines may be on either). Lines
// before the header, daemon lines and blank lines are skipped; a device line
// is `serial<TAB>state[ extras]` (or serial, blanks, state as some adb
// versions print). Never fails: unknown text is skipped.
DeviceList ParseDeviceList(std::string_view output);

enum class ConnectionVerdict {
  kConnected,      // exactly one usable device (or the chosen one is usable)
  kNoAnswer,       // adb printed no device list (not started, failed, timed out)
  kNoDevice,       // the list is empty
  kOffline,        // the device (or the chosen one) is offline
  kUnauthorized,   // ... has not accepted this PC
  kNoPermissions,  // ... cannot be opened by this user (Linux udev rules)
  kNotInSystem,    // ... is in recovery, sideload, bootloader or another state
  kChooseOne,      // more than one device and none chosen
  kChosenMissing,  // the chosen serial is not in the list
};

struct ConnectionCheck {
  ConnectionVerdict verdict = ConnectionVerdict::kNoAnswer;
  std::string serial;                // the device the verdict is about (empty when none)
  std::vector<std::string> serials;  // every listed serial, in list order
  bool connected() const { return verdict == ConnectionVerdict::kConnected; }
};

// Judges `list`. With `chosenSerial` empty, connected means exactly one
// listed device and it is in state device; with several listed devices the
// verdict is kChooseOne. With a chosen serial, that device decides alone.
ConnectionCheck CheckConnection(const DeviceList& list, std::string_view chosenSerial = {});

// Chinese text telling the user what to do about `check` (empty when
// connected): accept the debugging prompt, fix the udev rules and the plugdev
// group, choose one of the named serials, install adb, ...
std::string ConnectionAdvice(const ConnectionCheck& check);

}  // namespace orv
