#include "device/adb_commands.h"

#include <algorithm>
#include <utility>

#include "device/phone_path.h"

namespace orv {
namespace {

constexpr std::string_view kAdb = "adb";

AdbCommand AdbOwn(std::vector<std::string> words, std::chrono::milliseconds limit) {
  AdbCommand command;
  command.argv.emplace_back(kAdb);
  for (auto& word : words) command.argv.push_back(std::move(word));
  command.text = command.argv[0];
  for (std::size_t i = 1; i < command.argv.size(); ++i) command.text += " " + command.argv[i];
  command.timeLimit = limit;
  return command;
}

// A command for the phone's root shell. `prefix` is the historic text up to
// the inner command ("adb shell su -c " or with the double blanks); the phone
// runs su -c "inner" whatever the log shows.
AdbCommand RootShell(std::string_view prefix, std::string_view inner, std::string text,
                     std::chrono::milliseconds limit = kOrdinaryCommandLimit) {
  AdbCommand command;
  command.phoneCommand = "su -c \"" + std::string(inner) + "\"";
  command.argv = {std::string(kAdb), "shell", command.phoneCommand};
  command.text = std::string(prefix) + std::move(text);
  command.timeLimit = limit;
  return command;
}

constexpr std::string_view kShellSu = "adb shell su -c ";
constexpr std::string_view kShellSuWide = "adb shell  su -c ";

// The common historic form: prefix, quote, inner command, quote.
AdbCommand Quoted(std::string_view prefix, std::string_view inner,
                  std::chrono::milliseconds limit = kOrdinaryCommandLimit) {
  return RootShell(prefix, inner, "\"" + std::string(inner) + "\"", limit);
}

AdbCommandBuild Refused(std::string reason, std::string_view text) {
  return {std::nullopt, std::move(reason) + "，命令未执行: " + PrintableForLog(text)};
}

AdbCommandBuild Built(AdbCommand command) { return {std::move(command), {}}; }

bool IsIpv4Address(std::string_view text) {
  int parts = 0;
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t end = text.find('.', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view part = text.substr(at, end - at);
    if (part.empty() || part.size() > 3 ||
        !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return false;
    }
    if (std::stoi(std::string(part)) > 255) return false;
    ++parts;
    at = end + 1;
  }
  return parts == 4;
}

bool IsHostName(std::string_view text) {
  if (text.empty() || text.size() > 253 || text.front() == '-' || text.front() == '.') return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-';
  });
}

bool IsSafeSerial(std::string_view serial) {
  if (serial.empty() || serial.size() > 255 || serial.front() == '-') return false;
  return std::all_of(serial.begin(), serial.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-' || c == ':' || c == '@' || c == '+';
  });
}

}  // namespace

AdbCommand AdbDevices() { return AdbOwn({"devices"}, kAdbServiceLimit); }
AdbCommand AdbRootCheck() { return Quoted(kShellSu, "ls", kFirstSuLimit); }
AdbCommand AdbKillServer() { return AdbOwn({"kill-server"}, kAdbServiceLimit); }

AdbCommand AdbCatBuildProp() { return Quoted(kShellSuWide, "cat system/build.prop"); }
AdbCommand AdbCatCpuInfo() { return Quoted(kShellSuWide, "cat proc/cpuinfo"); }
AdbCommand AdbCatMemInfo() { return Quoted(kShellSuWide, "cat proc/meminfo"); }
AdbCommand AdbCatPartitions() { return Quoted(kShellSuWide, "cat proc/partitions"); }
AdbCommand AdbDf() { return Quoted(kShellSuWide, "df"); }
AdbCommand AdbMount() { return RootShell(kShellSuWide, "mount", " \"mount\""); }

AdbCommandBuild AdbLinkTarget(std::string_view devicePath) {
  if (auto problem = PhonePathProblem(devicePath); !problem.empty()) {
    return Refused(std::move(problem), devicePath);
  }
  const std::string inner = "ls -l " + std::string(devicePath);
  return Built(RootShell(kShellSuWide, inner, "\"" + inner));
}

AdbCommandBuild AdbListDirectory(std::string_view folder) {
  if (auto problem = PhonePathProblem(folder); !problem.empty()) {
    return Refused(std::move(problem), folder);
  }
  return Built(Quoted(kShellSu, "ls -l " + std::string(folder)));
}

AdbCommand AdbNetcfg() { return Quoted(kShellSu, "netcfg"); }
AdbCommand AdbTcpip() { return AdbOwn({"tcpip", std::string(kWirelessPort)}, kAdbServiceLimit); }

AdbCommandBuild AdbConnect(std::string_view address) {
  if (!IsIpv4Address(address) && !IsHostName(address)) {
    return Refused("无线地址不是有效的IP地址或主机名", address);
  }
  return Built(AdbOwn({"connect", std::string(address) + ":" + std::string(kWirelessPort)},
                      kAdbServiceLimit));
}

AdbCommandBuild AdbDdCopy(std::string_view source, std::string_view target) {
  for (const std::string_view path : {source, target}) {
    if (auto problem = PhonePathProblem(path); !problem.empty()) {
      return Refused(std::move(problem), path);
    }
  }
  return Built(Quoted(kShellSuWide, "dd if=" + std::string(source) + " of=" + std::string(target),
                      kCopyCommandLimit));
}

AdbCommandBuild AdbImagingListing(std::string_view phonePath) {
  if (auto problem = PhonePathProblem(phonePath); !problem.empty()) {
    return Refused(std::move(problem), phonePath);
  }
  return Built(Quoted(kShellSuWide, "ls -l " + std::string(phonePath)));
}

AdbCommand AdbProcessList() { return Quoted(kShellSuWide, "ps"); }

AdbCommandBuild AdbChmod(std::string_view mode, std::string_view source) {
  const bool octal =
      (mode.size() == 3 || mode.size() == 4) &&
      std::all_of(mode.begin(), mode.end(), [](char c) { return c >= '0' && c <= '7'; });
  if (!octal) return Refused("文件权限不是三位或四位八进制数字", mode);
  if (auto problem = PhonePathProblem(source); !problem.empty()) {
    return Refused(std::move(problem), source);
  }
  return Built(Quoted(kShellSuWide, "chmod " + std::string(mode) + " " + std::string(source)));
}

AdbCommandBuild AdbPull(std::string_view phonePath, std::string_view pcFolder) {
  if (auto problem = PhonePathProblem(phonePath); !problem.empty()) {
    return Refused(std::move(problem), phonePath);
  }
  if (pcFolder.empty() || pcFolder.find('\0') != std::string_view::npos) {
    return Refused("电脑上的文件夹路径无效", pcFolder);
  }
  AdbCommand command =
      AdbOwn({"pull", std::string(phonePath), std::string(pcFolder)}, kCopyCommandLimit);
  command.text = "adb pull  " + std::string(phonePath) + " " + std::string(pcFolder);
  return Built(std::move(command));
}

AdbCommandBuild ForDevice(const AdbCommand& command, std::string_view serial) {
  if (!IsSafeSerial(serial)) return Refused("设备序列号含有不安全的字符", serial);
  AdbCommand aimed = command;
  aimed.argv.insert(aimed.argv.begin() + 1, {"-s", std::string(serial)});
  aimed.text.insert(kAdb.size(), " -s " + std::string(serial));
  return Built(std::move(aimed));
}

CommandResult RunAdb(const AdbCommand& command) {
  return RunProgram(command.argv, command.timeLimit);
}

std::string AdbNotStartedText(const CommandResult& result) {
  if (result.started) return {};
  if (result.startError.starts_with(kProgramNotFound)) {
    return "没有找到adb程序。请安装Android调试桥adb（Debian/Ubuntu: sudo apt install adb；"
           "Windows: 安装Android SDK Platform-Tools并把其文件夹加入PATH环境变量）后再试";
  }
  return "adb程序无法启动: " + result.startError;
}

}  // namespace orv
