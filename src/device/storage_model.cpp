#include "device/storage_model.h"

#include "device/line_helpers.h"
#include "device/ls_line.h"
#include "device/phone_path.h"

namespace orv {
namespace {

constexpr std::string_view kMountType = "挂载盘符";
constexpr std::string_view kLinkType = "卷标路径";
constexpr std::string_view kCardType = "内外部SD卡";
constexpr std::string_view kMountFound = "获取安卓操作系统挂载盘符信息成功";
constexpr std::string_view kLinkFound = "获取安卓操作系统逻辑盘的卷标路径信息成功";
constexpr std::string_view kLinkFailed = "获取安卓操作系统逻辑盘的卷标路径信息失败";
constexpr std::string_view kCardFound = "获取安卓操作系统内外部SD卡信息成功";
constexpr std::string_view kOtgFound = "获取安卓操作系统外部OTG存储信息成功";

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Mount points of SD cards and OTG storage, by the words vendors use in them.
bool IsCardMount(std::string_view mountPoint) {
  return Contains(mountPoint, "sdcard") || Contains(mountPoint, "SdCard");
}
bool IsOtgMount(std::string_view mountPoint) {
  return Contains(mountPoint, "otg") || Contains(mountPoint, "udisk");
}
// The system volumes that the six-column layout images ("/system", and any
// mount point ending in it, as the historic test of " M " did).
bool IsSystemVolume(std::string_view mountPoint) {
  const std::string padded = " " + std::string(mountPoint) + " ";
  return Contains(padded, "/system ") || Contains(padded, "/cache ") || Contains(padded, "/data ");
}
bool IsExactSystemVolume(std::string_view mountPoint) {
  return mountPoint == "/system" || mountPoint == "/cache" || mountPoint == "/data";
}

// The name up to its first "p": mmcblk0p12 lies on mmcblk0.
std::string DiskOfName(std::string_view name) {
  return std::string(name.substr(0, name.find('p')));
}

class Builder {
 public:
  Builder(const PartitionTable& partitions, const std::vector<MountLine>& mounts,
          StorageMatchSink& sink)
      : partitions_(partitions), mounts_(mounts), sink_(sink) {}

  void matchSixColumns(const std::vector<SpaceRow>& rows);
  void matchFiveColumns(const std::vector<SpaceRow>& rows);
  void classifySixColumns();
  void classifyFiveColumns();
  StorageModel take() { return std::move(model_); }

 private:
  void add(const Partition& partition, const SpaceRow& row, std::string fileSystem,
           std::string link, std::string path, std::string_view kind);
  void matchFiveColumnRow(const SpaceRow& row);

  const PartitionTable& partitions_;
  const std::vector<MountLine>& mounts_;
  StorageMatchSink& sink_;
  StorageModel model_;
};

void Builder::add(const Partition& partition, const SpaceRow& row, std::string fileSystem,
                  std::string link, std::string path, std::string_view kind) {
  StorageEntry entry;
  entry.serial = static_cast<int>(model_.size()) + 1;
  entry.major = partition.major;
  entry.minor = partition.minor;
  entry.blocks = partition.blocks;
  entry.name = partition.name;
  entry.fileSystem = std::move(fileSystem);
  entry.link = std::move(link);
  entry.mountPoint = row.mountPoint;
  entry.path = std::move(path);
  entry.size = row.size;
  entry.used = row.used;
  entry.free = row.free;
  entry.kind = kind;
  model_.push_back(std::move(entry));
}

void Builder::matchSixColumns(const std::vector<SpaceRow>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    sink_.gaugeAt(i + 1);
    const SpaceRow& row = rows[i];
    const bool card = IsCardMount(row.mountPoint);
    if (!IsSystemVolume(row.mountPoint) && !card) continue;
    const MountLine* mount = FindMount(mounts_, row.mountPoint);
    if (!mount) continue;
    sink_.log(kMountType, kMountFound);
    const Partition* partition = FindPartitionOfPath(partitions_, row.device);
    if (!partition && card) {
      if (const auto numbers = DeviceNumbersFromPath(row.device))
        partition = FindPartitionByNumbers(partitions_, *numbers);
    }
    if (partition) add(*partition, row, mount->fileSystem, "", row.device, kKindLogical);
  }
}

void Builder::matchFiveColumns(const std::vector<SpaceRow>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    sink_.gaugeAt(i + 1);
    matchFiveColumnRow(rows[i]);
  }
}

void Builder::matchFiveColumnRow(const SpaceRow& row) {
  const MountLine* mount = FindMount(mounts_, row.mountPoint);
  if (!mount) return;
  const std::string& device = mount->device;
  sink_.log(kMountType, kMountFound);
  if (!IsSafePhonePath(device)) {
    sink_.log(kLinkType, kLinkFailed);
    return;
  }
  const std::string listing = sink_.listDevice(device);
  if (listing.empty()) sink_.log(kLinkType, kLinkFailed);

  if (const std::optional<std::string> target = LinkTargetOf(listing)) {
    if (const Partition* partition = FindPartitionOfPath(partitions_, *target)) {
      sink_.log(kLinkType, kLinkFound);
      add(*partition, row, mount->fileSystem, device, *target, kKindLogical);
    }
    return;
  }
  const bool card = IsCardMount(row.mountPoint);
  if (card || IsOtgMount(row.mountPoint)) {
    const auto numbers = DeviceNumbersFromPath(device);
    const Partition* partition = numbers ? FindPartitionByNumbers(partitions_, *numbers) : nullptr;
    if (!partition) return;
    sink_.log(card ? kCardType : "外部OTG存储", card ? kCardFound : kOtgFound);
    add(*partition, row, mount->fileSystem, "", device, card ? kKindLogical : kKindOtg);
    return;
  }
  if (!Contains(device, "/dev")) return;
  const Partition* partition = FindPartitionOfPath(partitions_, device);
  if (!partition || !IsExactSystemVolume(row.mountPoint)) return;
  sink_.log(kLinkType, kLinkFound);
  add(*partition, row, mount->fileSystem, "", device, kKindLogical);
}

void Builder::classifySixColumns() {
  for (StorageEntry& entry : model_) {
    if (!Contains(entry.mountPoint, "sdcard")) continue;
    entry.kind = kKindExternalSd;
    sink_.info("外部SD卡数量:1", kInfoImageCard);
    if (Contains(entry.name, "p")) entry.disk = DiskOfName(entry.name);
    sink_.log(kCardType, kCardFound);
  }
}

void Builder::classifyFiveColumns() {
  std::string diskName;
  std::string diskFolder;
  for (StorageEntry& entry : model_) {
    const std::string_view name = TrimBlanks(entry.name);
    if (entry.mountPoint != "/system" || !Contains(name, "p")) continue;
    diskName = DiskOfName(name);
    entry.disk = diskName;
    const std::size_t at = entry.path.find(entry.name);
    if (at != std::string::npos) diskFolder = entry.path.substr(0, at);
    break;
  }
  for (StorageEntry& entry : model_) {
    const bool card = IsCardMount(entry.mountPoint);
    if (!diskName.empty() && Contains(TrimBlanks(entry.name), diskName)) {
      entry.disk = diskName;
      if (Contains(entry.mountPoint, "sdcard")) {
        entry.kind = kKindInternalSd;
        sink_.info("内部SD卡数量:1", kInfoImageCard);
      }
    } else if (card) {
      entry.kind = kKindExternalSd;
      sink_.info("外部SD卡数量:1", kInfoImageCard);
      if (Contains(entry.name, "p")) entry.disk = DiskOfName(entry.name);
    }
  }
  if (diskName.empty()) return;
  // The physical disk: the partition named after the disk itself.
  for (const Partition& partition : partitions_.partitions) {
    if (!partition.name.ends_with(diskName)) continue;
    add(partition, SpaceRow{}, "", "", diskFolder + partition.name, kKindPhysical);
  }
}

}  // namespace

StorageModel BuildStorageModel(const PartitionTable& partitions, const SpaceReport& space,
                               const std::vector<MountLine>& mounts, StorageMatchSink& sink) {
  Builder builder(partitions, mounts, sink);
  sink.gaugeRange(space.rows.size());
  if (space.layout == SpaceLayout::kSixColumns) {
    builder.matchSixColumns(space.rows);
    builder.classifySixColumns();
  } else if (space.layout == SpaceLayout::kFiveColumns) {
    builder.matchFiveColumns(space.rows);
    builder.classifyFiveColumns();
  }
  return builder.take();
}

}  // namespace orv
