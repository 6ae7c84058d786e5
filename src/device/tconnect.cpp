#include "device/tconnect.h"

#include <algorithm>
#include <cctype>

#include "device/device_list.h"
#include "device/line_helpers.h"
#include "device/mount_table.h"
#include "device/partition_table.h"
#include "device/phone_info.h"
#include "device/phone_path.h"
#include "device/space_report.h"
#include "device/storage_model.h"
#include "device/wireless_link_flag.h"

namespace orv {
namespace {

constexpr std::string_view kLineStart = "\r\n";  // every lv3 caption begins with it

constexpr std::string_view kRootMissingText =
    "您的手机似乎没有Root权限，请先使用Root工具进行权限获取，程序将退出!";
constexpr std::string_view kUsbTroubleText =
    "手机和电脑之间的USB连接线可能没有正常连接，请您重新插拔USB连接线并确保不存在接触问题";
constexpr std::string_view kUsbMessage = "手机连接失败,请检查USB连接线并再次点击按钮!";
constexpr std::string_view kRootRefusedText =
    "安卓系统并没有获取Root权限,请先获取Root权限再使用本程序恢复";
constexpr std::string_view kRootRefusedMessage =
    "系统没有获得Root权限,这将导致后续的操作无法进行,请您先对手机进行Root,我们建议您使用  "
    "[百度一键Root]  工具进行Root操作。当您完成Root操作后再来使用本程序，程序将退出！";

// Information pictures (il1).
constexpr int kImageModel = 3;
constexpr int kImageBuildValue = 4;  // then 5, 6, 7 for the next values
constexpr int kImageCpu = 8;
constexpr int kImageMemory = 9;
constexpr int kImagePartitions = 10;
constexpr int kImageRootRefused = 12;
constexpr int kImageRootGranted = 13;
constexpr std::size_t kBuildValueCount = 4;

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lowered;
}

// Why the root check did not grant root, or empty when it did: su must have
// ended by itself with status 0 and neither stream may say it refused.
std::string RootRefusal(const CommandResult& result) {
  if (!result.started) return AdbNotStartedText(result);
  if (result.timedOut) return "su 没有在限定时间内回答";
  for (const std::string* stream : {&result.out, &result.err}) {
    const std::string lowered = Lowered(*stream);
    for (const std::string_view refusal : {"denied", "not found", "not allowed"}) {
      if (lowered.find(refusal) != std::string::npos) {
        const std::vector<std::string_view> lines = SplitLines(*stream);
        for (const std::string_view line : lines)
          if (Lowered(line).find(refusal) != std::string::npos)
            return PrintableForLog(TrimBlanks(line));
      }
    }
  }
  if (result.exitStatus != 0) return "su 的退出状态为 " + std::to_string(result.exitStatus);
  return {};
}

std::string WithCause(std::string_view text, std::string_view cause) {
  if (cause.empty()) return std::string(text);
  return std::string(text) + "（" + std::string(cause) + "）";
}

}  // namespace

// Hands the matching's reports to the view and runs its link look-ups.
class Tconnect::MatchSink : public StorageMatchSink {
 public:
  explicit MatchSink(Tconnect& worker) : worker_(worker) {}
  void log(std::string_view type, std::string_view description) override {
    worker_.log(type, description);
  }
  void info(std::string_view caption, int image) override { worker_.info(caption, image); }
  void gaugeRange(std::size_t rows) override {
    worker_.view_.setGaugeRange(static_cast<std::int64_t>(rows));
  }
  void gaugeAt(std::size_t row) override {
    worker_.view_.setGaugePosition(static_cast<std::int64_t>(row));
  }
  std::string listDevice(const std::string& devicePath) override {
    const AdbCommandBuild build = AdbLinkTarget(devicePath);
    if (!build) return {};
    const CommandResult result = worker_.run(*build.command);
    return result.started ? result.out : std::string();
  }

 private:
  Tconnect& worker_;
};

Tconnect::Tconnect(ConnectSettings settings, ConnectView& view)
    : settings_(std::move(settings)), view_(view) {}

SurveyOutcome Tconnect::run() {
  view_.setGaugeRange(1);
  view_.setConnectButtonEnabled(false);
  view_.setSwitchButtonEnabled(false);
  SurveyOutcome outcome = connect();
  if (outcome == SurveyOutcome::kCompleted) outcome = checkRoot();
  if (outcome == SurveyOutcome::kCompleted) outcome = survey();
  return outcome;
}

SurveyOutcome Tconnect::connect() {
  log("检查连接", "检测手机和电脑之间的USB连接线是否连接正常连接");
  const CommandResult result = run(AdbDevices());
  status("检查", "检查连接...");
  if (result.out.find("denied") != std::string::npos ||
      result.err.find("denied") != std::string::npos) {
    view_.setConnectionState("连接异常", kStateImageFailed);
    log("最高权限", kRootMissingText);
    view_.showMessage(kRootMissingText);
    view_.setConnectButtonEnabled(true);
    return SurveyOutcome::kNotConnected;
  }
  const ConnectionCheck check =
      CheckConnection(ParseDeviceList(result.out + "\n" + result.err), settings_.serial);
  if (!check.connected()) {
    const std::string cause = result.started ? ConnectionAdvice(check) : AdbNotStartedText(result);
    view_.setConnectionState("连接异常", kStateImageFailed);
    log("连接异常", WithCause(kUsbTroubleText, cause));
    view_.showMessage(kUsbMessage);
    view_.setConnectButtonEnabled(true);
    return SurveyOutcome::kNotConnected;
  }
  view_.setConnectionState("连接正常", kStateImageConnected);
  view_.resetFileTree();
  return SurveyOutcome::kCompleted;
}

SurveyOutcome Tconnect::checkRoot() {
  log("检查权限", "检查操作系统是否已经取得了Root权限");
  // The phone may ask its user to grant root: the status says what is awaited.
  status("检查", "检查权限...");
  AdbCommand rootCheck = AdbRootCheck();
  rootCheck.timeLimit = settings_.rootCheckLimit;
  const CommandResult result = run(rootCheck);
  view_.setGaugePosition(1);
  const std::string refusal = RootRefusal(result);
  if (!refusal.empty()) {
    log("无权限", WithCause(kRootRefusedText, refusal));
    info("Root权限:未取得", kImageRootRefused);
    view_.showMessage(kRootRefusedMessage);
    return abort(SurveyOutcome::kRootRefused);
  }
  info("Root权限:已获取", kImageRootGranted);
  view_.showCommandOutput(result.out);
  return SurveyOutcome::kCompleted;
}

SurveyOutcome Tconnect::survey() {
  if (!readIdentity() || !readHardware()) return abort(SurveyOutcome::kStepFailed);
  const SurveyOutcome storage = readStorage();
  if (storage != SurveyOutcome::kCompleted) return storage;
  buildTree();
  return SurveyOutcome::kCompleted;
}

bool Tconnect::readIdentity() {
  log("基本信息", "获取手机型号等具体参数的基本信息");
  const std::string buildProp = surveyOutput(AdbCatBuildProp());
  if (buildProp.empty()) {
    log("出错", "获取基本信息系统信息失败,请重新再试一次");
    return false;
  }
  const BuildProperties properties = ReadBuildProperties(buildProp);
  rootCaption_ = std::string(kUnknownPhoneCaption);
  if (properties.model) {
    status("获取", "获取型号...");
    view_.setGaugeRange(1);
    view_.setGaugePosition(1);
    if (!properties.model->empty()) {
      log("手机型号", "获取手机型号信息成功");
      rootCaption_ = PhoneCaption(*properties.model);
    } else {
      log("手机型号", "获取手机型号信息失败");
    }
    info(rootCaption_, kImageModel);
  }
  status("获取", "获取系统信息...");
  view_.setGaugeRange(static_cast<std::int64_t>(kBuildValueCount) - 1);
  view_.setGaugePosition(static_cast<std::int64_t>(kBuildValueCount) - 1);
  if (properties.anyValueKey) {
    log("系统信息", "获取安卓操作系统信息成功");
    for (std::size_t i = 0; i < properties.values.size(); ++i) {
      info(std::string(kBuildValueLabels[i]) + properties.values[i],
           kImageBuildValue + static_cast<int>(i));
    }
  } else {
    log("系统信息", "获取安卓操作系统信息失败");
    for (std::size_t i = 0; i < kBuildValueCount; ++i)
      info("未知", kImageBuildValue + static_cast<int>(i));
  }
  return true;
}

bool Tconnect::readHardware() {
  status("获取", "获取硬件信息...");
  const std::string cpuInfo = surveyOutput(AdbCatCpuInfo());
  if (cpuInfo.empty()) {
    log("CPU型号", "获取CPU型号失败");
    return false;
  }
  if (const auto hardware = CpuHardware(cpuInfo)) {
    log("CPU型号", "获取CPU型号成功");
    info("CPU型号:" + *hardware, kImageCpu);
  } else {
    log("CPU型号", "获取CPU型号失败");
  }
  const std::string memInfo = surveyOutput(AdbCatMemInfo());
  if (memInfo.empty()) {
    log("内存大小", "获取内存大小失败");
    return false;
  }
  if (const auto total = MemoryTotal(memInfo)) {
    log("内存大小", "获取内存大小成功");
    info("内存大小:" + *total, kImageMemory);
  } else {
    log("内存大小", "获取内存大小失败");
    info("内存大小:未知", kImageMemory);
  }
  return true;
}

SurveyOutcome Tconnect::readStorage() {
  status("获取", "获取分区信息...");
  const std::string partitionText = surveyOutput(AdbCatPartitions());
  if (partitionText.empty()) {
    log("分区表", "获取安卓操作系统分区表信息失败");
    return abort(SurveyOutcome::kStepFailed);
  }
  const PartitionTable partitions = ParsePartitionTable(partitionText);
  view_.setGaugeRange(static_cast<std::int64_t>(partitions.partitions.size()));
  view_.setGaugePosition(static_cast<std::int64_t>(partitions.partitions.size()));
  if (partitions.droppedLines > 0) {
    log("分区表",
        "分区表中有" + std::to_string(partitions.droppedLines) + "行不是分区的内容，已略过");
  }
  if (!partitions.partitions.empty()) {
    log("分区表", "获取安卓操作系统分区表信息成功");
    info("逻辑盘符数量:" + std::to_string(partitions.partitions.size()), kImagePartitions);
  } else {
    log("分区表", "获取安卓操作系统分区表信息失败");
    info("逻辑盘符数量:未知", kImagePartitions);
  }

  status("获取", "获取逻辑盘使用信息...");
  const std::string spaceText = surveyOutput(AdbDf());
  if (spaceText.empty()) {
    log("存储空间", "获取各个逻辑盘的存储空间信息失败");
    return abort(SurveyOutcome::kStepFailed);
  }
  const SpaceReport space = ParseSpaceReport(spaceText);
  if (space.layout == SpaceLayout::kUnknown) {
    log("存储空间", "获取各个逻辑盘的存储空间信息失败");
    view_.setConnectButtonEnabled(true);
    return SurveyOutcome::kStepFailed;
  }
  log("存储空间", "获取各个逻辑盘的存储空间信息成功");

  const std::string mountText = surveyOutput(AdbMount());
  if (mountText.empty()) {
    log("挂载盘符", "获取安卓操作系统挂载盘符信息失败");
    return abort(SurveyOutcome::kStepFailed);
  }
  MatchSink sink(*this);
  model_ = BuildStorageModel(partitions, space, ParseMountTable(mountText), sink);
  view_.setStorageModel(model_);
  return SurveyOutcome::kCompleted;
}

void Tconnect::buildTree() {
  if (!model_.empty()) {
    const auto last = static_cast<std::int64_t>(model_.size()) - 1;
    view_.setGaugeRange(last);
    for (const std::string_view stage :
         {"判断物理盘结果...", "判断逻辑盘结果...", "判断外部SD卡..."}) {
      status("判断", stage);
      view_.setGaugePosition(last);
    }
    tree_ = BuildStorageTree(rootCaption_, model_);
    view_.showStorageTree(tree_);
    status("输出", "输出判断结果...");
  }
  view_.setConnectButtonEnabled(true);
  view_.setSwitchButtonEnabled(true);
  status("就绪", "");
}

CommandResult Tconnect::run(const AdbCommand& command) {
  AdbCommand chosen = command;
  if (!settings_.serial.empty()) {
    AdbCommandBuild build = ForDevice(command, settings_.serial);
    if (!build) {
      log("命令", build.refusal);
      CommandResult refused;
      refused.startError = build.refusal;
      return refused;
    }
    chosen = std::move(*build.command);
  }
  commands_.push_back(chosen.text);
  log("命令", chosen.text);
  return RunAdb(chosen);
}

std::string Tconnect::surveyOutput(const AdbCommand& command) {
  CommandResult result = run(command);
  if (!result.started || TrimBlanks(result.out).empty()) return {};
  view_.showCommandOutput(result.out);
  return std::move(result.out);
}

void Tconnect::log(std::string_view type, std::string_view description) {
  view_.addLogLine(MakeLogLine(std::string(type), std::string(description)));
}

void Tconnect::info(std::string_view caption, int image) {
  view_.addInfoItem(std::string(kLineStart) + std::string(caption), image);
}

void Tconnect::status(std::string_view stage, std::string_view activity) {
  view_.setStatus(0, std::string(stage));
  view_.setStatus(1, std::string(activity));
}

SurveyOutcome Tconnect::abort(SurveyOutcome outcome) {
  if (!WirelessLinkFlag().load()) run(AdbKillServer());
  view_.setConnectButtonEnabled(true);
  return outcome;
}

}  // namespace orv
