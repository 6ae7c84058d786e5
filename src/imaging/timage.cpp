#include "imaging/timage.h"

#include <filesystem>
#include <fstream>
#include <thread>

#include "device/line_helpers.h"
#include "device/ls_line.h"
#include "device/phone_path.h"
#include "device/phone_reachable.h"
#include "imaging/dd_report.h"
#include "imaging/file_mode.h"
#include "platform/utf8_path.h"

namespace orv {
namespace {

// The gauge counts 512-byte units.
constexpr std::int64_t kGaugeUnit = 512;

constexpr std::chrono::milliseconds kWirelessPause{20};
constexpr std::chrono::milliseconds kWirelessRawCardPause{60};

constexpr std::string_view kNotGenerated = "Windows路径指定的文件没有生成,程序将退出!";
constexpr std::string_view kNoProcessList =
    "获取系统进程失败，请再次点击[开始镜像]按钮再试，程序将退出!";
constexpr std::string_view kCopiedToCard = "文件成功镜像到了外置SD卡或者外部存储中";
constexpr std::string_view kCopiedToPc = "文件成功镜像到了指定的Windows路径";
constexpr std::string_view kRawCardCaution =
    "注意您现在要镜像的是大于4G的物理盘符，镜像的速度可能会比较慢，希望您能够耐心等待！";
constexpr std::string_view kRawCardDone =
    "物理盘镜像完毕，请您断开手机和电脑的USB连接，把外置SD卡（或外部存储设备）和电脑相连并点击[下一"
    "步]开始数据恢复!";
constexpr std::string_view kNoSourceFile =
    "没有发现源文件，请再次点击[开始镜像]按钮再试，程序将退出!";
constexpr std::string_view kSpecialFile =
    "您所选择的文件为系统、管道、链接文件等特殊文件，此类文件无法修改权限，程序将退出!";
constexpr std::string_view kModeUnreadable =
    "权限文件获取出错，请再次点击[开始镜像]按钮再试，程序将退出!";
constexpr std::string_view kDdMayGoOn = "已停止；手机端 dd 可能仍在运行";
constexpr std::string_view kPullStopped = "已停止";
constexpr std::string_view kStalled = "镜像停滞: 长度在限定时间内没有增长";

LogLine Line(std::string_view type, std::string_view text) {
  return MakeLogLine(std::string(type), std::string(text));
}

// The first entry of an `ls -l` listing.
std::optional<LsEntry> FirstEntry(std::string_view listing) {
  for (const std::string_view line : SplitLines(listing)) {
    if (std::optional<LsEntry> entry = ParseLsLine(line)) return entry;
  }
  return std::nullopt;
}

bool ListsDd(std::string_view processList) {
  for (const std::string_view line : SplitLines(processList)) {
    if (TrimBlanks(line).ends_with(" dd")) return true;
  }
  return false;
}

// The folder as `adb pull` gets it: without its trailing separator, except a
// root ("/", "C:\") that needs it.
std::string PullFolderArgument(const std::string& folder) {
  if (folder.size() > 3 && (folder.back() == '/' || folder.back() == '\\')) {
    return folder.substr(0, folder.size() - 1);
  }
  return folder;
}

std::string ReplaceQuestion(const std::string& localPath) {
  return "Windows目标盘路径下已经存在文件" + localPath +
         ",镜像将替换它。继续镜像请点击[是],保留原文件请点击[否]";
}

// Runs `undo` when it goes out of scope.
template <typename Undo>
class ScopeExit {
 public:
  explicit ScopeExit(Undo undo) : undo_(std::move(undo)) {}
  ~ScopeExit() { undo_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Undo undo_;
};

}  // namespace

std::string IncompleteCopyText(std::int64_t expected, std::int64_t actual) {
  return "镜像不完整: 期望 " + std::to_string(expected) + " 字节, 实际 " + std::to_string(actual) +
         " 字节";
}

Timage::Timage(ImagingPlan plan, ImagingView& view, bool wirelessLink, ImagingTimings timings)
    : plan_(std::move(plan)), view_(view), wirelessLink_(wirelessLink), timings_(timings) {}

ImagingOutcome Timage::run() {
  view_.setImagingRunning(true);
  const ImagingOutcome outcome = plan_.way == ImagingWay::kFile ? runFile() : runPartition();
  view_.setStatus(0, "就绪");
  view_.setStatus(1, "");
  view_.setImagingRunning(false);
  return outcome;
}

bool Timage::checkConnection() {
  view_.setStatus(0, "检查");
  view_.setStatus(1, "检查连接...");
  return CheckAndReportPhone(
      {[this](std::string_view type, std::string_view text) { view_.addLogLine(Line(type, text)); },
       [this](std::string_view caption, int image) {
         view_.setConnectionState(std::string(caption), image);
       },
       [this](std::string_view text) { view_.showMessage(std::string(text)); },
       [this] { view_.setConnectEnabled(true); }});
}

std::optional<ImagingOutcome> Timage::prepareLocalFile(const std::string& localPath) {
  const std::filesystem::path path = Utf8Path(localPath);
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    if (!view_.askWarning(ReplaceQuestion(localPath))) {
      view_.addLogLine(Line("镜像", "保留已有文件,没有镜像: " + localPath));
      return ImagingOutcome::kDeclined;
    }
    // The old file must not be taken for the new copy.
    if (!std::filesystem::remove(path, error)) {
      view_.addLogLine(Line("出错", "无法删除已有文件 " + localPath + ": " + error.message()));
      return fail(std::string(kNotGenerated));
    }
    view_.addLogLine(Line("镜像", "已删除旧文件: " + localPath));
  }
  // Find out now, not after a long copy on the phone, whether the folder takes the file.
  if (!std::ofstream(path, std::ios::binary)) {
    view_.addLogLine(Line("出错", "无法在Windows目标盘路径写入文件: " + localPath));
    return fail(std::string(kNotGenerated));
  }
  std::filesystem::remove(path, error);
  return std::nullopt;
}

ImagingOutcome Timage::runPartition() {
  const AdbCommandBuild dd = AdbDdCopy(plan_.source, plan_.phoneTarget);
  const AdbCommandBuild listing = AdbImagingListing(plan_.phoneTarget);
  const bool toPc = NeedsPcFolder(plan_.way);
  const AdbCommandBuild pullCommand =
      toPc ? AdbPull(plan_.phoneTarget, PullFolderArgument(plan_.pcFolder)) : AdbCommandBuild{};
  for (const AdbCommandBuild* build : {&dd, &listing, &pullCommand}) {
    if (!*build && !build->refusal.empty()) {
      view_.addLogLine(Line("出错", build->refusal));
      return fail(std::string(kNotGenerated));
    }
  }
  if (!checkConnection()) return ImagingOutcome::kFailed;
  if (stop_.load()) return ImagingOutcome::kStopped;
  view_.setStatus(0, "镜像");
  view_.setStatus(1, "镜像中...");
  const std::string localPath = LocalCopyPath(plan_);
  if (toPc) {
    if (const auto refused = prepareLocalFile(localPath)) return *refused;
  }

  ChildProcess copy;
  if (!startChild(copy, *dd.command)) return fail(std::string(kNotGenerated));
  const bool rawCard = plan_.way == ImagingWay::kRawCard;
  if (rawCard) view_.showMessage(std::string(kRawCardCaution));
  if (plan_.way != ImagingWay::kSmallImage) {
    if (!readProcessList(rawCard ? kWirelessRawCardPause : kWirelessPause)) {
      copy.stop();
      return fail(std::string(kNoProcessList));
    }
    view_.addLogLine(Line("进程工作", "安卓系统镜像进程开始工作"));
  }

  view_.setGaugeRange(plan_.sizeBytes / kGaugeUnit);
  view_.setGaugePosition(0);
  std::int64_t pollsWithDd = 0;
  bool listingLogged = false;
  const LengthProbe measure = [&]() -> std::optional<std::int64_t> {
    if (!rawCard) {
      if (!listingLogged) view_.addLogLine(Line("命令", listing.command->text));
      listingLogged = true;
      return phoneLength(*listing.command);
    }
    // A raw copy has no length to see; the process list is only a hint
    // (toybox ps never lists dd), its count moves the gauge a little.
    if (wirelessLink_) pause(kWirelessPause);
    if (ListsDd(RunAdb(AdbProcessList()).out)) ++pollsWithDd;
    view_.setGaugePosition(pollsWithDd / kGaugeUnit);
    return std::nullopt;
  };
  FollowSettings settings{timings_.phonePoll, timings_.stallLimit};
  if (rawCard) settings.stallLimit = std::chrono::milliseconds::zero();
  const FollowResult followed = FollowCopy(
      copy, measure, [this](std::int64_t length) { showGauge(length); }, stop_, settings);
  if (followed.end == FollowEnd::kStopped) {
    return stopped(copy, std::string(kDdMayGoOn), plan_.sizeBytes, followed.lastLength);
  }
  if (followed.end == FollowEnd::kStalled) {
    copy.stop();
    view_.addLogLine(Line("出错", kStalled));
    return fail(IncompleteCopyText(plan_.sizeBytes, followed.lastLength));
  }

  const std::string report = copy.takeOut() + copy.takeErr();
  if (!TrimBlanks(report).empty()) {
    view_.addLogLine(Line("镜像", "dd: " + PrintableForLog(TrimBlanks(report))));
  }
  const std::optional<std::int64_t> length =
      rawCard ? BytesCopiedByDd(report) : phoneLength(*listing.command);
  if (!rawCard && !length) return fail(std::string(kNotGenerated));
  if (copy.exitStatus() != 0 || length != plan_.sizeBytes) {
    return fail(IncompleteCopyText(plan_.sizeBytes, length.value_or(0)));
  }
  showGauge(*length);
  view_.addLogLine(Line("镜像完毕", kCopiedToCard));
  if (rawCard) {
    view_.showMessage(std::string(kRawCardDone));
    return ImagingOutcome::kComplete;
  }
  view_.addLogLine(Line("镜像", "开始镜像指定文件到Windows路径,路径为:" + localPath));
  return pull(*pullCommand.command, plan_.sizeBytes);
}

ImagingOutcome Timage::runFile() {
  const AdbCommandBuild listing = AdbImagingListing(plan_.source);
  const AdbCommandBuild pullCommand = AdbPull(plan_.source, PullFolderArgument(plan_.pcFolder));
  for (const AdbCommandBuild* build : {&listing, &pullCommand}) {
    if (!*build) {
      view_.addLogLine(Line("出错", build->refusal));
      return fail(std::string(kNoSourceFile));
    }
  }
  if (!checkConnection()) return ImagingOutcome::kFailed;
  if (stop_.load()) return ImagingOutcome::kStopped;
  view_.setStatus(0, "镜像");
  view_.setStatus(1, "镜像中...");
  const std::string localPath = LocalCopyPath(plan_);
  if (const auto refused = prepareLocalFile(localPath)) return *refused;
  view_.addLogLine(Line("镜像", "开始镜像指定文件到Windows路径,路径为:" + localPath));

  const std::optional<LsEntry> entry = FirstEntry(runLogged(*listing.command).out);
  if (!entry) return fail(std::string(kNoSourceFile));
  if (entry->type != '-') return fail(std::string(kSpecialFile));
  const std::optional<FileMode> oldMode = ParseModeText(entry->mode);
  if (!oldMode) return fail(std::string(kModeUnreadable));
  view_.addLogLine(Line("权限", "文件权限为:" + FormatMode(*oldMode)));

  // Others must be able to read the file: adb pull reads as the shell user.
  const bool relax = (*oldMode & kOthersRead) == 0;
  const FileMode newMode = ReadableByOthers(*oldMode);
  const AdbCommandBuild relaxCommand = AdbChmod(FormatMode(newMode), plan_.source);
  const AdbCommandBuild restoreCommand = AdbChmod(FormatMode(*oldMode), plan_.source);
  if (relax && (!relaxCommand || !restoreCommand)) {
    view_.addLogLine(Line("出错", relaxCommand ? restoreCommand.refusal : relaxCommand.refusal));
    return fail(std::string(kModeUnreadable));
  }
  if (relax) {
    runLogged(*relaxCommand.command);
    view_.addLogLine(Line("权限", "文件权限更改为:" + FormatMode(newMode)));
  }
  const ScopeExit restore([&] {
    if (!relax) return;
    runLogged(*restoreCommand.command);
    view_.addLogLine(Line("权限", "文件权限更改为:" + FormatMode(*oldMode)));
  });
  if (entry->size && static_cast<std::int64_t>(*entry->size) != plan_.sizeBytes) {
    view_.addLogLine(Line("镜像", "文件长度已变为" + std::to_string(*entry->size) + "字节"));
  }
  const std::int64_t expected =
      entry->size ? static_cast<std::int64_t>(*entry->size) : plan_.sizeBytes;
  return pull(*pullCommand.command, expected);
}

ImagingOutcome Timage::pull(const AdbCommand& command, std::int64_t expected) {
  const std::filesystem::path localPath = Utf8Path(LocalCopyPath(plan_));
  ChildProcess copy;
  if (!startChild(copy, command)) return fail(std::string(kNotGenerated));
  view_.setGaugeRange(expected / kGaugeUnit);
  view_.setGaugePosition(0);
  const LengthProbe measure = [&]() -> std::optional<std::int64_t> {
    std::error_code error;
    const auto size = std::filesystem::file_size(localPath, error);
    if (error) return std::nullopt;
    return static_cast<std::int64_t>(size);
  };
  const FollowResult followed =
      FollowCopy(copy, measure, [this](std::int64_t length) { showGauge(length); }, stop_,
                 {timings_.localPoll, timings_.stallLimit});
  if (followed.end == FollowEnd::kStopped) {
    return stopped(copy, std::string(kPullStopped), expected, followed.lastLength);
  }
  if (followed.end == FollowEnd::kStalled) {
    copy.stop();
    view_.addLogLine(Line("出错", kStalled));
    return fail(IncompleteCopyText(expected, measure().value_or(0)));
  }
  const std::optional<std::int64_t> length = measure();
  if (!length) return fail(std::string(kNotGenerated));
  if (copy.exitStatus() != 0 || *length != expected) {
    if (const std::string said = std::string(TrimBlanks(copy.takeErr())); !said.empty()) {
      view_.addLogLine(Line("出错", "adb: " + PrintableForLog(said)));
    }
    return fail(IncompleteCopyText(expected, *length));
  }
  view_.addLogLine(Line("镜像完毕", kCopiedToPc));
  return ImagingOutcome::kComplete;
}

bool Timage::readProcessList(std::chrono::milliseconds pauseBefore) {
  if (wirelessLink_) pause(pauseBefore);
  const CommandResult result = runLogged(AdbProcessList());
  if (wirelessLink_) pause(kWirelessPause);
  if (TrimBlanks(result.out).empty()) return false;
  ListsDd(result.out);  // a hint only: toybox ps never lists dd
  return true;
}

std::optional<std::int64_t> Timage::phoneLength(const AdbCommand& listing) {
  const std::optional<LsEntry> entry = FirstEntry(RunAdb(listing).out);
  if (!entry || !entry->size) return std::nullopt;
  return static_cast<std::int64_t>(*entry->size);
}

CommandResult Timage::runLogged(const AdbCommand& command) {
  view_.addLogLine(Line("命令", command.text));
  CommandResult result = RunAdb(command);
  if (!result.started) view_.addLogLine(Line("出错", AdbNotStartedText(result)));
  return result;
}

bool Timage::startChild(ChildProcess& child, const AdbCommand& command) {
  view_.addLogLine(Line("命令", command.text));
  if (child.start(command.argv)) return true;
  CommandResult result;
  result.startError = child.startError();
  view_.addLogLine(Line("出错", AdbNotStartedText(result)));
  return false;
}

ImagingOutcome Timage::stopped(ChildProcess& child, const std::string& what, std::int64_t expected,
                               std::int64_t actual) {
  child.stop();
  view_.addLogLine(Line("停止", what));
  view_.addLogLine(Line("停止", IncompleteCopyText(expected, actual)));
  return ImagingOutcome::kStopped;
}

ImagingOutcome Timage::fail(const std::string& text) {
  view_.addLogLine(Line("出错", text));
  view_.showMessage(text);
  return ImagingOutcome::kFailed;
}

void Timage::showGauge(std::int64_t length) { view_.setGaugePosition(length / kGaugeUnit); }

void Timage::pause(std::chrono::milliseconds span) const { std::this_thread::sleep_for(span); }

}  // namespace orv
