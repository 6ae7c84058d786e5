#include "results/tyulan.h"

#include <algorithm>

#include "results/record_assembly.h"

namespace orv {
namespace {

constexpr std::size_t kRowBatch = 256;
constexpr std::string_view kStage = "生成预览";

}  // namespace

std::optional<UserMessage> PreviewRefusal(std::optional<PreviewKind> kind,
                                          const ResultTables& tables) {
  if (!kind) return UserMessage{std::string(kNoPreviewKindText)};
  if (tables.rowCount(RawTableOf(*kind)) == 0) return UserMessage{std::string(kNothingFoundText)};
  return std::nullopt;
}

TYuLan::TYuLan(PreviewKind kind, const ResultTables& tables, PreviewView& view)
    : kind_(kind), tables_(tables), view_(view) {}

void TYuLan::run() {
  view_.setColumns(PreviewColumns(kind_));
  const std::size_t rows = tables_.rowCount(RawTableOf(kind_));
  view_.setGaugeRange(GaugeMaximum(rows));
  view_.setStatus(0, std::string(kStage));
  view_.addLogLine(MakeLogLine("操作", "开始" + std::string(kStage)));
  PreviewEntries entries = AssembleEntries(kind_, tables_, [&](std::size_t index) {
    if (IsProgressStep(index, rows)) view_.setGaugePosition(static_cast<std::int64_t>(index));
  });
  showList(PreviewList::kNormal, PreviewRows(kind_, entries.normal));
  showList(PreviewList::kDeleted, PreviewRows(kind_, entries.deleted));
  view_.addLogLine(MakeLogLine("操作", std::string(kStage) + "完毕"));
  view_.setStatus(0, "就绪");
  view_.setStatus(1, "");
}

void TYuLan::showList(PreviewList list, std::vector<ListRow> rows) {
  view_.setGaugeRange(GaugeMaximum(rows.size()));
  for (std::size_t begin = 0; begin < rows.size(); begin += kRowBatch) {
    const std::size_t end = std::min(begin + kRowBatch, rows.size());
    view_.setGaugePosition(static_cast<std::int64_t>(end - 1));
    view_.setStatus(1, "已解析行数:" + std::to_string(end - 1));
    view_.addRows(list, {std::make_move_iterator(rows.begin() + begin),
                         std::make_move_iterator(rows.begin() + end)});
  }
}

}  // namespace orv
