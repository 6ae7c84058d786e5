#pragma once
// What one imaging run does, decided once when the user picks a partition or a
// file: the way, the source on the phone, the target on the phone, the folder
// on the PC and the expected length. The imaging worker follows the plan and
// never re-derives the way from the size.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "imaging/free_space_text.h"

namespace orv {

enum class ImagingWay {
  kSmallImage,  // dd into an image file on the card, then pull it to the PC
  kImage,       // the same for a larger partition; the phone's process list is read first
  kRawCard,     // dd onto the card's own block device; the card is then read on the PC
  kFile,        // a file of the phone pulled to the PC, its mode relaxed for the copy
};

// Images up to this length take the small way.
inline constexpr std::int64_t kSmallImageMaxBytes = 52428800;  // 50 MiB
// A partition goes into an image file on the card only below this size: FAT32
// cards hold files up to 4 GiB less one byte. At and above it the partition is
// copied raw onto the card's device.
inline constexpr std::int64_t kCardFileLimitKib = 4194304;  // 4 GiB

struct ImagingPlan {
  ImagingWay way = ImagingWay::kFile;
  std::string source;          // partition device or file on the phone
  std::string phoneTarget;     // image file or card device on the phone; empty for kFile
  std::string pcFolder;        // folder on the PC that receives the copy, ending with a separator
  std::int64_t sizeBytes = 0;  // expected length of the copy
};

// Whether the run writes into the PC folder (every way but the raw card).
inline bool NeedsPcFolder(ImagingWay way) { return way != ImagingWay::kRawCard; }

// The file the copy makes on the PC: the folder followed by the part of the
// phone path after its last "/" (the whole path when it has none). Empty for
// the raw-card way.
std::string LocalCopyPath(const ImagingPlan& plan);

// The phone path whose copy lands on the PC: the image file for the image
// ways, the source for the file way.
const std::string& PulledPhonePath(const ImagingPlan& plan);

// The partition chosen on the storage page, taken from its storage entry.
struct PartitionChoice {
  std::string path;    // device path
  std::string name;    // partition name, gives the image file's name
  std::string blocks;  // size in KiB, as the partition table printed it
};

// The card that receives the image: the OTG storage, else the external SD card.
struct CardChoice {
  std::string path;        // the card's device
  std::string mountPoint;  // where it is mounted
  std::string blocks;      // its size in KiB
  std::string free;        // free space as the space report printed it
  SpaceReportUnits units = SpaceReportUnits::kWithUnitLetter;
};

// Either a plan with the warning the user must confirm before it runs, or
// the message that refuses the choice (plan empty).
struct PlanDecision {
  std::optional<ImagingPlan> plan;
  std::string message;
  bool numberError = false;  // the refusal is about a number that did not parse
};

inline constexpr std::string_view kNoCardMessage =
    "杯具了,您的手机似乎没有安装外置SD卡,"
    "在镜像逻辑盘的时候需要用到外置SD卡。请您在安装好外置SD卡后再次点"
    "击左上角的[连接好USB线后请点击]按钮!";
inline constexpr std::string_view kFreeSpaceTextMessage = "外置SD卡空闲空间判断出错！";
inline constexpr std::string_view kImageFileWarning =
    "注意:此操作将会在手机外置SD卡中写入镜像文件内容,如果外置SD卡中存在数据请您及时备份!备份请点击["
    "否],"
    "继续镜像点击[是]";
inline constexpr std::string_view kRawCardWarning =
    "注意:此操作将会改变手机外置SD卡中的所有底层数据,如果外置SD卡中存在数据请您及时备份!备份请点击["
    "否],"
    "继续镜像点击[是]";

// The "card too small" message for a partition of `sizeKib`.
std::string CardTooSmallMessage(std::int64_t sizeKib);

// The plan for imaging `partition` onto `card` (none when the phone has no
// card). The PC folder is left empty; the imaging page sets it.
PlanDecision DecidePartitionPlan(const PartitionChoice& partition,
                                 const std::optional<CardChoice>& card);

// The plan for pulling the file `name` of the phone folder `folder` whose
// listed length is `sizeText`. Refused only when the length is not a number.
PlanDecision DecideFilePlan(std::string_view folder, std::string_view name,
                            std::string_view sizeText);

}  // namespace orv
