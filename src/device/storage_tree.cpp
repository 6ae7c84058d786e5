#include "device/storage_tree.h"

#include <optional>

#include "device/device_numbers.h"

namespace orv {
namespace {

constexpr std::uint64_t kKibPerGib = 1024 * 1024;

// The caption's opening by kind; physical disks have their own caption.
std::string_view CaptionOpening(std::string_view kind) {
  if (kind == kKindInternalSd) return "内部SD卡[";
  if (kind == kKindExternalSd) return "外部SD卡[";
  if (kind == kKindOtg) return "otg存储   [";
  return "逻辑盘     [";
}

// `count` hundredths written in the shortest decimal form.
std::string Hundredths(std::uint64_t count) {
  std::string text = std::to_string(count / 100);
  const std::uint64_t fraction = count % 100;
  if (fraction == 0) return text;
  text += '.';
  text += static_cast<char>('0' + fraction / 10);
  if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  return text;
}

}  // namespace

std::string PhoneCaption(std::string_view model) { return "我的手机[" + std::string(model) + "]"; }

std::string SizeText(std::string_view blocks) {
  const std::optional<std::uint64_t> value = ParseDecimal(blocks);
  if (!value) return {};
  // Digits as the number has them (leading zeros do not count).
  const std::size_t digits = std::to_string(*value).size();
  if (digits <= 5) return std::to_string(*value) + "KB";
  if (digits == 6) return std::to_string(*value / 1000) + "MB";
  // GiB to two decimals, a tie to the even last digit. 20 digits overflow the
  // hundredths product; such a size is no real partition, so it is written
  // without the decimals.
  if (*value > UINT64_MAX / 100) return std::to_string(*value / kKibPerGib) + "GB";
  const std::uint64_t scaled = *value * 100;
  std::uint64_t hundredths = scaled / kKibPerGib;
  const std::uint64_t remainder = scaled % kKibPerGib;
  if (remainder * 2 > kKibPerGib || (remainder * 2 == kKibPerGib && hundredths % 2 == 1))
    ++hundredths;
  return Hundredths(hundredths) + "GB";
}

std::string EntryCaption(const StorageEntry& entry) {
  const std::string serial = " 编号:" + std::to_string(entry.serial);
  if (entry.kind == kKindPhysical) {
    return "物理盘     [" + entry.name + "] " + "容量:" + SizeText(entry.blocks) + serial;
  }
  return std::string(CaptionOpening(entry.kind)) + entry.name + "] " +
         "文件系统:" + entry.fileSystem + " 容量:" + SizeText(entry.blocks) +
         " 挂载点:" + entry.mountPoint + " 空闲空间:" + entry.free + serial;
}

std::vector<StorageTreeNode> BuildStorageTree(std::string_view rootCaption,
                                              const StorageModel& model) {
  std::vector<StorageTreeNode> nodes;
  if (model.empty()) return nodes;
  nodes.push_back({std::string(rootCaption), kTreeImagePhone, kNoParent, kNoEntry});

  auto indexOf = [&](const StorageEntry& entry) { return static_cast<int>(&entry - model.data()); };
  // The first physical disk holds the logical disks; without one they hang
  // from the root.
  int diskParent = 0;
  for (const StorageEntry& entry : model) {
    if (entry.kind != kKindPhysical) continue;
    nodes.push_back({EntryCaption(entry), kTreeImagePhysical, 0, indexOf(entry)});
    diskParent = 1;
    break;
  }
  const bool withDisk = diskParent == 1;
  // Of several internal cards only the last gets the card picture, and of
  // several external cards (and OTG storages, under a physical disk) only
  // the last goes beside the disk; earlier ones are placed as logical disks.
  const StorageEntry* lastInternal = nullptr;
  const StorageEntry* lastExternal = nullptr;
  const StorageEntry* lastOtg = nullptr;
  for (const StorageEntry& entry : model) {
    if (entry.kind == kKindInternalSd) lastInternal = &entry;
    if (entry.kind == kKindExternalSd) lastExternal = &entry;
    if (entry.kind == kKindOtg) lastOtg = &entry;
  }
  auto placeAsLogical = [&](const StorageEntry& entry) {
    const int image = &entry == lastInternal ? kTreeImageCard : kTreeImageLogical;
    nodes.push_back({EntryCaption(entry), image, diskParent, indexOf(entry)});
  };
  for (const StorageEntry& entry : model) {
    if (entry.kind == kKindLogical || entry.kind == kKindInternalSd) placeAsLogical(entry);
  }
  for (const StorageEntry& entry : model) {
    const bool beside = &entry == lastExternal || (withDisk && &entry == lastOtg);
    if (entry.kind != kKindExternalSd && entry.kind != kKindOtg) continue;
    if (!beside) placeAsLogical(entry);
  }
  if (lastExternal)
    nodes.push_back({EntryCaption(*lastExternal), kTreeImageCard, 0, indexOf(*lastExternal)});
  if (withDisk && lastOtg)
    nodes.push_back({EntryCaption(*lastOtg), kTreeImageCard, 0, indexOf(*lastOtg)});
  return nodes;
}

}  // namespace orv
