#include "imaging/storage_choice.h"

#include "imaging/number_text.h"

namespace orv {
namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

const StorageEntry* FirstOfKind(const StorageModel& model, std::string_view kind) {
  for (const StorageEntry& entry : model) {
    if (entry.kind == kind) return &entry;
  }
  return nullptr;
}

}  // namespace

std::optional<CardChoice> ImagingCard(const StorageModel& model) {
  const StorageEntry* card = FirstOfKind(model, kKindOtg);
  if (!card) card = FirstOfKind(model, kKindExternalSd);
  if (!card) return std::nullopt;
  // The six-column space report prints bare 1 KiB counts in every column,
  // the five-column one sizes with a unit letter.
  const SpaceReportUnits units = ParseWholeNumber(card->size) ? SpaceReportUnits::kKibBlocks
                                                              : SpaceReportUnits::kWithUnitLetter;
  return CardChoice{card->path, card->mountPoint, card->blocks, card->free, units};
}

PlanDecision DecideStoragePlan(const std::vector<StorageTreeNode>& nodes, std::size_t selected,
                               const StorageModel& model) {
  if (selected >= nodes.size()) return {std::nullopt, std::string(kNothingChosenMessage), false};
  const std::string caption = " " + nodes[selected].caption;
  if (Contains(caption, "我的手机")) return {std::nullopt, std::string(kPhoneChosenMessage), false};
  if (Contains(caption, "外部") || Contains(caption, "otg")) {
    return {std::nullopt, std::string(kCardChosenMessage), false};
  }
  bool anyCard = false;
  for (const StorageTreeNode& node : nodes) {
    const std::string text = " " + node.caption;
    anyCard = anyCard || Contains(text, "SD") || Contains(text, "otg");
  }
  const int entry = nodes[selected].entry;
  if (!anyCard || entry < 0 || static_cast<std::size_t>(entry) >= model.size()) {
    return {std::nullopt, std::string(kNoCardMessage), false};
  }
  const StorageEntry& partition = model[static_cast<std::size_t>(entry)];
  return DecidePartitionPlan({partition.path, partition.name, partition.blocks},
                             ImagingCard(model));
}

}  // namespace orv
