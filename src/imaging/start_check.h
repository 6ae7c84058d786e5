#pragma once
// The checks "开始镜像" makes before an imaging run: a PC folder where the
// plan copies to the PC, and room for the copy there.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "imaging/imaging_plan.h"
#include "platform/log_line.h"

namespace orv {

inline constexpr std::string_view kNoPcFolderMessage =
    "Windows目标盘路径为空,请点击[浏览]按钮设置好Windows目标盘路径!";
inline constexpr std::string_view kFreeSpaceQueryMessage =
    "获取剩余空间失败,请重新设置Windows目标盘路径,再次点击[开始镜像]按钮重试!";
inline constexpr std::string_view kPcTooSmallMessage =
    "Windows目标盘空闲空间过小，不能镜像，请点击[浏览]按钮重新设置空闲空间较大的Windows盘符!";

// Free bytes of the volume holding a folder; empty when unknown.
using FreeSpaceQuery = std::function<std::optional<std::uint64_t>(const std::string& folder)>;

struct StartCheck {
  std::string refusal;               // empty: the run may start
  std::optional<LogLine> spaceLine;  // "空闲空间" line, when the space was asked for
};

// Checks `plan` before a run. The raw-card way copies nothing to the PC and
// passes without a folder. Otherwise the folder must be set and hold more
// free bytes than the copy needs.
StartCheck CheckImagingStart(const ImagingPlan& plan, const FreeSpaceQuery& freeSpace);

}  // namespace orv
