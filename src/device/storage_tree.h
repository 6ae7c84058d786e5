#pragma once
// The storage tree of the main window's storage page, as a node list built
// from the storage model: the phone at the root, the physical disk with its
// logical disks and internal SD card below it, and the external SD card and
// OTG storage beside it. One UI step turns the list into tree items.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/storage_entry.h"

namespace orv {

// Node pictures.
inline constexpr int kTreeImagePhone = 0;
inline constexpr int kTreeImagePhysical = 1;
inline constexpr int kTreeImageLogical = 2;
inline constexpr int kTreeImageCard = 3;  // internal and external SD card, OTG storage

inline constexpr int kNoParent = -1;
inline constexpr int kNoEntry = -1;

struct StorageTreeNode {
  std::string caption;
  int image = 0;
  int parent = kNoParent;  // index of the parent node in the list; the root has none
  int entry = kNoEntry;    // index of the node's StorageEntry in the model; not for the root

  bool operator==(const StorageTreeNode&) const = default;
};

// The root caption when the phone did not tell its model.
inline constexpr std::string_view kUnknownPhoneCaption =
    "我的手机[获取手机型号等具体参数的基本信息]";

// "我的手机[" + model + "]".
std::string PhoneCaption(std::string_view model);

// The size text of a count of 1 KiB blocks (decimal digits): up to 5 digits
// "512KB", 6 digits thousands "123MB", 7 and more GiB to two decimals with
// ties to even, shortest form ("7.28GB", "1GB"). Empty for a text that is not
// a decimal number.
std::string SizeText(std::string_view blocks);

// The node caption of an entry, its serial at the end after " 编号:".
std::string EntryCaption(const StorageEntry& entry);

// The node list: parents come before their children, siblings in display
// order. Empty when the model is empty (not even the root).
std::vector<StorageTreeNode> BuildStorageTree(std::string_view rootCaption,
                                              const StorageModel& model);

}  // namespace orv
