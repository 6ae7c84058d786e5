#include "results/tsave.h"

#include "results/csv_lines.h"
#include "results/text_file.h"

namespace orv {
namespace {

constexpr std::string_view kStage = "保存结果";

}  // namespace

Tsave::Tsave(ListSnapshot list, std::string fileName, PreviewKind kind, FileEncoding encoding,
             SaveView& view)
    : list_(std::move(list)),
      fileName_(std::move(fileName)),
      kind_(kind),
      encoding_(encoding),
      view_(view) {}

bool Tsave::run() {
  const std::size_t count = list_.rows.size();
  view_.setGaugeRange(GaugeMaximum(count));
  view_.setGaugePosition(0);
  view_.setStatus(0, std::string(kStage));
  view_.addLogLine(MakeLogLine("操作", "开始合成"));
  const auto lines = ResultCsvLines(list_, kind_, [&](std::size_t index) {
    if (IsProgressStep(index, count)) view_.setGaugePosition(static_cast<std::int64_t>(index));
  });
  bool written = false;
  if (lines) {
    view_.addLogLine(MakeLogLine("操作", "开始完毕"));
    const TextFileOutcome outcome = WriteTextLines(fileName_, *lines, encoding_);
    written = !outcome.error;
    if (written && outcome.unconverted)
      view_.addLogLine(MakeLogLine("提示", UnconvertedCharactersText(outcome.unconverted)));
  }
  const std::string outcome = std::string(kStage) + (written ? "完毕" : "失败");
  if (written) view_.addLogLine(MakeLogLine("操作", outcome));
  view_.showMessage(UserMessage{outcome});
  if (!written) view_.addLogLine(MakeLogLine("操作", outcome));
  view_.setStatus(0, "就绪");
  view_.setStatus(1, "");
  return written;
}

}  // namespace orv
