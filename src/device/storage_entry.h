#pragma once
// One partition of the phone that can be imaged, and the storage model: the
// ordered list of them that the phone survey builds. The main window's
// storage tree, the imaging steps and the command-line survey read it.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// What an entry is ("盘符属性"): the texts stored in the kind column.
inline constexpr std::string_view kKindLogical = "lj";         // logical disk
inline constexpr std::string_view kKindInternalSd = "lj-sdn";  // internal SD card
inline constexpr std::string_view kKindExternalSd = "lj-sdw";  // external SD card
inline constexpr std::string_view kKindOtg = "otg";            // OTG storage
inline constexpr std::string_view kKindPhysical = "wl";        // physical disk

// Every field is the text as the phone printed it (suffix of the caption: P the
// partition table, M the mount table and link resolution, D the space report).
struct StorageEntry {
  int serial = 0;          // "SN": 1 for the first entry of a survey, counting up
  std::string major;       // "主块-P"
  std::string minor;       // "次块-P"
  std::string blocks;      // "长度-P": size in 1 KiB blocks, decimal digits
  std::string name;        // "分区名称-P", e.g. mmcblk0p12
  std::string fileSystem;  // "文件系统-M"; empty for the physical disk
  std::string link;        // "链接文件-M": the mounted path when it is a symbolic link
  std::string mountPoint;  // "挂载点-M"; empty for the physical disk
  std::string path;        // "路径-M": the device path of the partition
  std::string size;        // "长度-D", as printed (1.2G, or 1 KiB blocks)
  std::string used;        // "使用空间-D", as printed
  std::string free;        // "空闲空间-D", as printed
  std::string kind;        // "盘符属性": one of the kKind texts
  std::string disk;        // "所属物理盘", e.g. mmcblk0, or empty

  bool operator==(const StorageEntry&) const = default;
};

using StorageModel = std::vector<StorageEntry>;

inline constexpr std::size_t kStorageColumnCount = 14;

// The captions of the storage list's columns, in field order.
inline constexpr std::array<std::string_view, kStorageColumnCount> kStorageColumnCaptions = {
    "SN",       "主块-P", "次块-P", "长度-P",     "分区名称-P", "文件系统-M", "链接文件-M",
    "挂载点-M", "路径-M", "长度-D", "使用空间-D", "空闲空间-D", "盘符属性",   "所属物理盘"};

// The entry's cells in column order (the serial in decimal).
std::array<std::string, kStorageColumnCount> StorageRowCells(const StorageEntry& entry);

}  // namespace orv
