#include "device/tfilebro.h"

#include "device/adb_commands.h"
#include "device/line_helpers.h"
#include "device/ls_line.h"
#include "device/phone_path.h"
#include "device/phone_reachable.h"

namespace orv {
namespace {

std::string ChildPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  return path + std::string(name);
}

std::string SizeText(const LsEntry& entry) {
  if (entry.size) return std::to_string(*entry.size);
  if (entry.device) {
    return std::to_string(entry.device->major) + ", " + std::to_string(entry.device->minor);
  }
  return {};
}

}  // namespace

int FileRowImage(const FileRow& row) {
  return row.name.find(".db") != std::string::npos ? kFileImageDatabase : kFileImageOther;
}

FolderListing ReadFolderListing(std::string_view folder, std::string_view lsOutput) {
  FolderListing listing;
  for (const std::string_view line : SplitLines(lsOutput)) {
    const std::optional<LsEntry> entry = ParseLsLine(line);
    if (!entry) continue;
    if (entry->type == 'd') {
      if (entry->name != "." && entry->name != "..") {
        listing.folders.push_back(ChildPath(folder, entry->name));
      }
      continue;
    }
    listing.files.push_back(
        {entry->name, SizeText(*entry), entry->date, entry->linkTarget, std::string(folder)});
  }
  return listing;
}

TFileBro::TFileBro(std::string folder, bool listedBefore, FileBrowserView& view)
    : folder_(std::move(folder)), listedBefore_(listedBefore), view_(view) {}

bool TFileBro::checkConnection() {
  log("检查连接", "检测手机和电脑之间的USB连接线是否连接正常连接");
  return CheckAndReportPhone(
      {[this](std::string_view type, std::string_view text) { log(type, std::string(text)); },
       [this](std::string_view caption, int image) { view_.setConnectionState(caption, image); },
       [this](std::string_view text) { view_.showMessage(text); },
       [this] { view_.setConnectButtonEnabled(true); }});
}

bool TFileBro::run() {
  if (!checkConnection()) return false;
  view_.clearFileList();
  if (listedBefore_) log("解析目录", "开始解析当前目录 " + folder_ + " 下的文件");
  log("解析目录", "开始解析当前目录 " + folder_ + " 下所有目录项及文件");
  const AdbCommandBuild build = AdbListDirectory(folder_);
  if (!build) {
    log("解析出错", "解析目录" + PrintableForLog(folder_) + " 出错," + build.refusal);
    return false;
  }
  log("命令", build.command->text);
  const CommandResult result = RunAdb(*build.command);
  if (!result.started) log("出错", AdbNotStartedText(result));
  if (TrimBlanks(result.out).empty()) {
    log("解析出错", "解析目录" + folder_ + " 出错,当前目录为空或者请检查手机联接是否正常");
    return false;
  }
  view_.showCommandOutput(result.out);
  FolderListing listing = ReadFolderListing(folder_, result.out);
  if (!listedBefore_) {
    for (const std::string& path : listing.folders) view_.addFolderNode(path);
  }
  view_.addFileRows(std::move(listing.files));
  return true;
}

void TFileBro::log(std::string_view type, const std::string& description) {
  view_.addLogLine(MakeLogLine(std::string(type), description));
}

}  // namespace orv
