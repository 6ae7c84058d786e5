#include "cli/phone_survey.h"

#include "platform/terminal.h"

namespace orv {
namespace {

constexpr int kExitUsage = 64;
constexpr int kModelImage = 3;

// A cell or caption on one line of the report: tabs and line ends from the
// phone would break the columns.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return line;
}

// "label<TAB>value" of an information item. The label is the text before the
// first colon; the model item ("我的手机[...]") and the unlabelled build
// number have none of their own.
std::string InfoLine(const TerminalConnectView::InfoItem& item) {
  const std::string_view caption = item.caption;
  if (item.image == kModelImage) return "我的手机\t" + OneLine(caption);
  const std::size_t colon = caption.find(':');
  if (colon == std::string_view::npos) return "\t" + OneLine(caption);
  return OneLine(caption.substr(0, colon)) + "\t" + OneLine(caption.substr(colon + 1));
}

int Depth(const std::vector<StorageTreeNode>& tree, std::size_t index) {
  int depth = 0;
  for (int parent = tree[index].parent; parent != kNoParent; parent = tree[parent].parent) ++depth;
  return depth;
}

void PrintUsage() {
  std::fputs("usage: orv-phone survey [--serial S] [--encoding gb18030|utf-8]\n", stderr);
}

}  // namespace

int ExitStatusOf(SurveyOutcome outcome) {
  switch (outcome) {
    case SurveyOutcome::kCompleted:
      return kExitSurveyCompleted;
    case SurveyOutcome::kNotConnected:
      return kExitNotConnected;
    case SurveyOutcome::kRootRefused:
      return kExitRootRefused;
    case SurveyOutcome::kStepFailed:
      return kExitStepFailed;
  }
  return kExitStepFailed;
}

void TerminalConnectView::addLogLine(const LogLine& line) {
  write(line.time + "\t" + line.type + "\t" + OneLine(line.description) + "\n");
}

void TerminalConnectView::addInfoItem(std::string_view caption, int image) {
  if (caption.starts_with("\r\n")) caption.remove_prefix(2);
  info_.push_back({std::string(caption), image});
}

void TerminalConnectView::showMessage(std::string_view text) {
  write("提示\t" + OneLine(text) + "\n");
}

void TerminalConnectView::write(const std::string& utf8) {
  const std::string bytes = EncodeForFile(utf8, encoding_);
  std::fwrite(bytes.data(), 1, bytes.size(), log_);
  std::fflush(log_);
}

std::string SurveyReport(const std::vector<TerminalConnectView::InfoItem>& info,
                         const StorageModel& model, const std::vector<StorageTreeNode>& tree) {
  std::string report;
  for (const auto& item : info) report += InfoLine(item) + "\n";
  for (std::size_t i = 0; i < kStorageColumnCount; ++i)
    report += std::string(i == 0 ? "" : "\t") + std::string(kStorageColumnCaptions[i]);
  report += "\n";
  for (const StorageEntry& entry : model) {
    const auto cells = StorageRowCells(entry);
    for (std::size_t i = 0; i < cells.size(); ++i)
      report += (i == 0 ? "" : "\t") + OneLine(cells[i]);
    report += "\n";
  }
  for (std::size_t i = 0; i < tree.size(); ++i) {
    const StorageTreeNode& node = tree[i];
    report += std::string(2 * static_cast<std::size_t>(Depth(tree, i)), ' ') +
              OneLine(node.caption) + "\t" +
              (node.entry == kNoEntry ? std::string() : std::to_string(model[node.entry].serial)) +
              "\n";
  }
  return report;
}

int RunSurveyCommand(const std::vector<std::string>& args) {
  ConnectSettings settings;
  FileEncoding encoding = FileEncoding::kUtf8WithBom;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--serial" && i + 1 < args.size()) {
      settings.serial = args[++i];
    } else if (args[i] == "--encoding" && i + 1 < args.size()) {
      const auto parsed = ParseFileEncoding(args[++i]);
      if (!parsed) {
        PrintUsage();
        return kExitUsage;
      }
      encoding = *parsed;
    } else {
      PrintUsage();
      return kExitUsage;
    }
  }
  if (encoding == FileEncoding::kUtf8WithBom) EnableUtf8Console(stderr);
  TerminalConnectView view(stderr, encoding);
  Tconnect worker(settings, view);
  const SurveyOutcome outcome = worker.run();
  if (outcome == SurveyOutcome::kCompleted) {
    const std::string report = EncodeForFile(
        SurveyReport(view.infoItems(), worker.storageModel(), worker.treeNodes()), encoding);
    std::fwrite(report.data(), 1, report.size(), stdout);
  }
  return ExitStatusOf(outcome);
}

}  // namespace orv
