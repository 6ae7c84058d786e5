#pragma once
// The phone's wireless address as `netcfg` prints it, and the checks around
// switching adb to the network: the address must be one the PC can reach, and
// the link counts only when the device list shows it ready.

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// What the interface list gave.
struct WirelessAddress {
  std::string shown;    // the address text as found, e.g. "192.168.1.5/24" (for "WLan IP:")
  std::string address;  // the part before any "/", e.g. "192.168.1.5"
};

enum class WirelessAddressError {
  kNoLines,      // netcfg printed nothing
  kNoInterface,  // no line names a wlan or eth interface, or that line has no address
};

// The address of the first line of `netcfg` output (any line ends) that, with
// a blank put before it, contains "wlan" or "eth": the blank-delimited word
// around the line's first ".".
std::optional<WirelessAddress> FindWirelessAddress(std::string_view netcfgOutput,
                                                   WirelessAddressError& error);

// Whether `address` is a dotted IPv4 address (four decimal numbers 0..255)
// that another machine can connect to: not 0.0.0.0 (no address) and not
// 127.x.x.x (the phone itself).
bool IsReachableIPv4(std::string_view address);

// Whether the `adb devices` output has the row "ADDRESS:5555<TAB>device".
bool DeviceListShowsReady(std::string_view devicesOutput, std::string_view address);

}  // namespace orv
