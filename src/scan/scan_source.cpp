#include "scan/scan_source.h"

#include "platform/disk_numbering.h"
#include "platform/disk_source.h"

namespace orv {
namespace {

constexpr std::string_view kLinuxDevices = "/dev/";
constexpr std::string_view kWindowsDrives = "\\\\.\\PhysicalDrive";

bool IsDiskNode(std::string_view text) {
  if (text.starts_with(kLinuxDevices))
    return LinuxDiskNumber(text.substr(kLinuxDevices.size())).has_value();
  if (!text.starts_with(kWindowsDrives) || text.size() == kWindowsDrives.size()) return false;
  return text.substr(kWindowsDrives.size()).find_first_not_of("0123456789") ==
         std::string_view::npos;
}

DiskIdentity IdentityOf(const DiskInfo& disk) { return {disk.sizeBytes, disk.model, disk.serial}; }

bool SameDisk(const DiskIdentity& listed, const DiskIdentity& now) {
  const bool serialsDiffer =
      !listed.serial.empty() && !now.serial.empty() && listed.serial != now.serial;
  return listed.sizeBytes == now.sizeBytes && listed.model == now.model && !serialsDiffer;
}

OpenedSource Failed(SourceFailure failure, std::string note) {
  return {nullptr, failure, {std::move(note)}};
}

OpenedSource OpenFile(const std::string& path) {
  if (!QueryFileSize(path).ok) {
    // A directory has a length of sorts but is no image: it fails to open.
    OpenResult probe = OpenImageFile(path);
    return {nullptr,
            probe.error == OpenError::kNotFound ? SourceFailure::kSizeUnknown
                                                : SourceFailure::kOpenFailed,
            {}};
  }
  OpenResult opened = OpenImageFile(path);
  if (opened.error != OpenError::kNone) return {nullptr, SourceFailure::kOpenFailed, {}};
  return {std::move(opened.source), SourceFailure::kNone, {}};
}

OpenedSource OpenNode(const std::string& node, std::optional<std::uint64_t> expectedBytes) {
  DiskOpenResult opened = OpenDisk(node);
  switch (opened.error) {
    case DiskOpenError::kNone:
      break;
    case DiskOpenError::kNotFound:
      return Failed(SourceFailure::kSizeUnknown, "物理盘 " + node + " 不存在（可能已拔出）");
    case DiskOpenError::kPermissionDenied:
      return Failed(SourceFailure::kOpenFailed, DiskPermissionHint(node));
    case DiskOpenError::kNotReadable:
      return Failed(SourceFailure::kOpenFailed, "无法以只读方式打开物理盘 " + node);
    case DiskOpenError::kSizeUnknown:
      return Failed(SourceFailure::kSizeUnknown, "无法获取物理盘 " + node + " 的容量");
  }
  if (expectedBytes && opened.source->size() != *expectedBytes)
    return Failed(SourceFailure::kOpenFailed,
                  "物理盘 " + node + " 的容量(" + std::to_string(opened.source->size()) +
                      "字节)与列表中的不同(" + std::to_string(*expectedBytes) +
                      "字节)，已换盘？请重新选择物理盘");
  return {std::move(opened.source), SourceFailure::kNone, {}};
}

// The disk that has `number` now, checked against what the scan path says of
// it, then opened.
OpenedSource OpenNumberedDisk(const ScanSource& source, unsigned number, const DiskPlaces& places) {
  const std::string name = "USB  " + std::to_string(number);
  if (number > kMaxDiskNumber)
    return Failed(SourceFailure::kSizeUnknown,
                  name + ": 物理盘编号超出 0-" + std::to_string(kMaxDiskNumber));
  std::optional<DiskInfo> now;
  for (DiskInfo& disk : ListChoosableDisks(places))
    if (disk.number == number) now = std::move(disk);
  if (!now)
    return Failed(SourceFailure::kSizeUnknown,
                  name + ": 没有这个编号的USB盘或读卡器（可能已拔出），请重新选择物理盘");
  const std::string line = UsbDiskLine(*now);
  const bool sameDisk = source.listed ? SameDisk(*source.listed, IdentityOf(*now))
                                      : source.text == name + ":" || source.text == line;
  if (!sameDisk)
    return Failed(SourceFailure::kOpenFailed,
                  name + ": 已不是选中的那块盘，现在是 " + line + "，请重新选择物理盘");
  return OpenNode(now->node, now->sizeBytes);
}

}  // namespace

ScanSource::ScanSource(std::string scanPath) : text(std::move(scanPath)) {
  if (const auto number = ParseUsbDiskLine(text)) {
    kind = Kind::kDisk;
    diskNumber = number;
  } else if (IsDiskNode(text)) {
    kind = Kind::kDisk;
    path = text;
  } else {
    path = text;
  }
}

ScanSource ScanSource::File(std::string path) {
  ScanSource source;
  source.text = path;
  source.path = std::move(path);
  return source;
}

ScanSource ScanSource::ChosenDisk(const DiskInfo& disk) {
  ScanSource source;
  source.kind = Kind::kDisk;
  source.text = UsbDiskLine(disk);
  source.path = disk.node;
  source.diskNumber = disk.number;
  source.listed = IdentityOf(disk);
  return source;
}

ScanSource ScanSource::DiskNode(std::string node) {
  ScanSource source;
  source.kind = Kind::kDisk;
  source.text = node;
  source.path = std::move(node);
  return source;
}

OpenedSource OpenScanSource(const ScanSource& source, const DiskPlaces& places) {
  if (source.kind == ScanSource::Kind::kFile) return OpenFile(source.path);
  if (source.diskNumber) return OpenNumberedDisk(source, *source.diskNumber, places);
  return OpenNode(source.path, std::nullopt);
}

}  // namespace orv
