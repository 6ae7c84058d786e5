#include "imaging/start_check.h"

namespace orv {

StartCheck CheckImagingStart(const ImagingPlan& plan, const FreeSpaceQuery& freeSpace) {
  StartCheck check;
  if (!NeedsPcFolder(plan.way)) return check;
  if (plan.pcFolder.empty()) {
    check.refusal = kNoPcFolderMessage;
    return check;
  }
  const std::optional<std::uint64_t> free = freeSpace(plan.pcFolder);
  if (!free) {
    check.refusal = kFreeSpaceQueryMessage;
    return check;
  }
  check.spaceLine =
      MakeLogLine("空闲空间", plan.pcFolder + "盘空闲空间容量为" + std::to_string(*free) + "Byte");
  if (static_cast<std::uint64_t>(plan.sizeBytes) >= *free) check.refusal = kPcTooSmallMessage;
  return check;
}

}  // namespace orv
