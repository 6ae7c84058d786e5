#include "imaging/imaging_plan.h"

#include "imaging/number_text.h"

namespace orv {
namespace {

constexpr std::int64_t kBytesPerKib = 1024;

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

PlanDecision Refusal(std::string_view message, bool numberError = false) {
  return {std::nullopt, std::string(message), numberError};
}

std::string_view AfterLastSlash(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

const std::string& PulledPhonePath(const ImagingPlan& plan) {
  return plan.way == ImagingWay::kFile ? plan.source : plan.phoneTarget;
}

std::string LocalCopyPath(const ImagingPlan& plan) {
  if (!NeedsPcFolder(plan.way)) return {};
  return plan.pcFolder + std::string(AfterLastSlash(PulledPhonePath(plan)));
}

std::string CardTooSmallMessage(std::int64_t sizeKib) {
  return "外置SD卡空间过小将无法进行镜像操作,请您更换容量更大的SD卡,您的外置SD卡至少需要有" +
         std::to_string(sizeKib) + "KB的空间(1GB=1024MB=1024*1024KB)";
}

PlanDecision DecidePartitionPlan(const PartitionChoice& partition,
                                 const std::optional<CardChoice>& card) {
  if (!card || card->path.empty() || card->mountPoint.empty() || partition.name.empty()) {
    return Refusal(kNoCardMessage);
  }
  const std::optional<std::int64_t> sizeKib = ParseWholeNumber(partition.blocks);
  // A size beyond this many KiB does not fit 64-bit bytes.
  constexpr std::int64_t kMaxKib = INT64_MAX / kBytesPerKib;
  if (!sizeKib || *sizeKib > kMaxKib) return Refusal(kNumberFormatMessage, true);

  ImagingPlan plan;
  plan.source = partition.path;
  plan.sizeBytes = *sizeKib * kBytesPerKib;
  std::string_view warning;
  if (*sizeKib < kCardFileLimitKib) {
    const std::optional<std::int64_t> freeKib = ParseFreeSpaceKib(card->free, card->units);
    if (!freeKib) return Refusal(kFreeSpaceTextMessage);
    if (*freeKib < *sizeKib) return Refusal(CardTooSmallMessage(*sizeKib));
    plan.way = plan.sizeBytes <= kSmallImageMaxBytes ? ImagingWay::kSmallImage : ImagingWay::kImage;
    plan.phoneTarget = card->mountPoint + "/" + std::string(Trimmed(partition.name)) + ".img";
    warning = kImageFileWarning;
  } else {
    const std::optional<std::int64_t> cardKib = ParseWholeNumber(card->blocks);
    if (!cardKib) return Refusal(kNumberFormatMessage, true);
    if (*cardKib < *sizeKib) return Refusal(CardTooSmallMessage(*sizeKib));
    plan.way = ImagingWay::kRawCard;
    plan.phoneTarget = card->path;
    warning = kRawCardWarning;
  }
  return {std::move(plan), std::string(warning), false};
}

PlanDecision DecideFilePlan(std::string_view folder, std::string_view name,
                            std::string_view sizeText) {
  const std::optional<std::int64_t> size = ParseWholeNumber(sizeText);
  if (!size) return Refusal(kNumberFormatMessage, true);
  ImagingPlan plan;
  plan.way = ImagingWay::kFile;
  plan.source = std::string(Trimmed(folder)) + "/" + std::string(Trimmed(name));
  plan.sizeBytes = *size;
  return {std::move(plan), {}, false};
}

}  // namespace orv
