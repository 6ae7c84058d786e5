#pragma once
// The adb command lines the program runs. Each builder gives the line as the
// activity log shows it (character for character the program's historic
// text, double blanks and inner quotes included) and the argument vector that
// is actually run: no shell on the PC, and on the phone one shell text
// `su -c "…"` whose every phone path was checked by PhonePathProblem first.
// Builders that take text from the phone or the user refuse unsafe text:
// they give no command and a reason for the activity log, and nothing runs.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/command_runner.h"

namespace orv {

// How long each kind of command may take before the runner ends it.
inline constexpr std::chrono::milliseconds kAdbServiceLimit{5000};  // devices, kill-server, connect
inline constexpr std::chrono::milliseconds kOrdinaryCommandLimit{10000};  // everything on the phone
inline constexpr std::chrono::milliseconds kFirstSuLimit{60000};  // the phone shows a grant dialog
// Copies (dd on the phone, pull to the PC) run as a ChildProcess that the
// imaging worker follows; this bounds one that is run to its end instead.
inline constexpr std::chrono::milliseconds kCopyCommandLimit{24LL * 3600 * 1000};

// The port the wireless link uses.
inline constexpr std::string_view kWirelessPort = "5555";

struct AdbCommand {
  std::string text;               // for the activity log
  std::vector<std::string> argv;  // what runs; argv[0] is "adb"
  std::chrono::milliseconds timeLimit{kOrdinaryCommandLimit};
  std::string phoneCommand;  // what the phone's shell runs (empty for adb's own commands)
};

// A command, or why it was refused.
struct AdbCommandBuild {
  std::optional<AdbCommand> command;
  std::string refusal;  // Chinese text for the activity log, naming the refused text
  explicit operator bool() const { return command.has_value(); }
};

// Connection and root check.
AdbCommand AdbDevices();     // adb devices
AdbCommand AdbRootCheck();   // adb shell su -c "ls" (the first su: kFirstSuLimit)
AdbCommand AdbKillServer();  // adb kill-server

// Survey.
AdbCommand AdbCatBuildProp();   // adb shell  su -c "cat system/build.prop"
AdbCommand AdbCatCpuInfo();     // adb shell  su -c "cat proc/cpuinfo"
AdbCommand AdbCatMemInfo();     // adb shell  su -c "cat proc/meminfo"
AdbCommand AdbCatPartitions();  // adb shell  su -c "cat proc/partitions"
AdbCommand AdbDf();             // adb shell  su -c "df"
AdbCommand AdbMount();          // adb shell  su -c  "mount"
// adb shell  su -c "ls -l <device>: the historic line has no closing quote;
// what runs has one.
AdbCommandBuild AdbLinkTarget(std::string_view devicePath);

// File browser: adb shell su -c "ls -l <folder>"
AdbCommandBuild AdbListDirectory(std::string_view folder);

// Wireless link.
AdbCommand AdbNetcfg();  // adb shell su -c "netcfg"
AdbCommand AdbTcpip();   // adb tcpip 5555
// adb connect <address>:5555; the address must be an IPv4 address or a host
// name (letters, digits, '.', '-').
AdbCommandBuild AdbConnect(std::string_view address);

// Imaging. S = source on the phone, T = target on the phone, F = PC folder.
AdbCommandBuild AdbDdCopy(std::string_view source, std::string_view target);  // dd if=S of=T
AdbCommandBuild AdbImagingListing(std::string_view phonePath);  // adb shell  su -c "ls -l P"
AdbCommand AdbProcessList();                                    // adb shell  su -c "ps"
// chmod M S; `mode` must be three or four octal digits (four keep the
// set-user-ID, set-group-ID and sticky bits).
AdbCommandBuild AdbChmod(std::string_view mode, std::string_view source);
// adb pull  P F: the PC folder goes as its own argument (blanks and Chinese
// characters work); only a NUL byte or an empty folder refuses it.
AdbCommandBuild AdbPull(std::string_view phonePath, std::string_view pcFolder);

// `command` aimed at the device `serial` (adb -s SERIAL ...), for when more
// than one device is attached. Refused unless the serial is made of letters,
// digits and `. _ - : @ +`.
AdbCommandBuild ForDevice(const AdbCommand& command, std::string_view serial);

// Runs `command` with its own time limit.
CommandResult RunAdb(const AdbCommand& command);

// The activity-log text for a command that did not start: when adb is
// missing, how to install it; otherwise the runner's reason.
std::string AdbNotStartedText(const CommandResult& result);

}  // namespace orv
