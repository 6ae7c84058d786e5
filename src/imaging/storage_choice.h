#pragma once
// The imaging plan for a node of the storage tree: the checks the storage
// page makes on the chosen node, then the plan for its storage entry and the
// card that receives the image.

#include <optional>
#include <string_view>
#include <vector>

#include "device/storage_entry.h"
#include "device/storage_tree.h"
#include "imaging/imaging_plan.h"

namespace orv {

inline constexpr std::string_view kNothingChosenMessage = "矮油,好像您没有选中任何逻辑盘哟~~~";
inline constexpr std::string_view kPhoneChosenMessage = "您选中的是[我的手机],请选择其它选项！";
inline constexpr std::string_view kCardChosenMessage = "您选中的是[外部SD卡],请选择其它选项！";

// The card that receives an image: the first OTG storage entry, else the
// first external SD card; none when the model has neither.
std::optional<CardChoice> ImagingCard(const StorageModel& model);

// The plan for node `selected` of `nodes` (the tree built from `model`). The
// partition is the node's own storage entry, never read back from its
// caption. Refused for the phone's node, a card's node, a tree without any
// card, and a node without an entry.
PlanDecision DecideStoragePlan(const std::vector<StorageTreeNode>& nodes, std::size_t selected,
                               const StorageModel& model);

}  // namespace orv
