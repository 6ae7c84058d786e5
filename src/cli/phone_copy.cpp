#include "cli/phone_copy.h"

#include <cstdio>
#include <optional>

#include "cli/phone_survey.h"
#include "cli/terminal_progress.h"
#include "device/adb_commands.h"
#include "device/line_helpers.h"
#include "device/ls_line.h"
#include "device/tfilebro.h"
#include "device/wireless_link_flag.h"
#include "imaging/number_text.h"
#include "imaging/start_check.h"
#include "imaging/storage_choice.h"
#include "imaging/timage.h"
#include "platform/free_space.h"
#include "platform/terminal.h"

namespace orv {
namespace {

constexpr int kExitUsage = 64;

void Say(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

// The file browser's reports on standard error; rows kept for standard output.
class TerminalFileView : public FileBrowserView {
 public:
  void addLogLine(const LogLine& line) override {
    Say(line.time + " " + line.type + " " + line.description);
  }
  void setConnectionState(std::string_view, int) override {}
  void showMessage(std::string_view text) override { Say("提示: " + std::string(text)); }
  void setConnectButtonEnabled(bool) override {}
  void showCommandOutput(std::string_view) override {}
  void clearFileList() override { rows.clear(); }
  void addFolderNode(const std::string&) override {}
  void addFileRows(std::vector<FileRow> more) override {
    rows.insert(rows.end(), more.begin(), more.end());
  }
  std::vector<FileRow> rows;
};

// The imaging worker's reports on standard error.
class TerminalImagingView : public ImagingView {
 public:
  TerminalImagingView(std::int64_t sizeBytes, bool yes)
      : progress_(stderr, IsTerminal(stderr), static_cast<std::uint64_t>(sizeBytes)), yes_(yes) {}

  void addLogLine(const LogLine& line) override { progress_.addLogLine(line); }
  void setGaugeRange(std::int64_t maximum) override { progress_.setGaugeRange(maximum); }
  void setGaugePosition(std::int64_t position) override { progress_.setGaugePosition(position); }
  void setStatus(int, const std::string&) override {}
  void showMessage(const std::string& text) override { progress_.showMessage(text); }
  bool askWarning(const std::string& text) override {
    progress_.showMessage(text + (yes_ ? " [--yes: 是]" : " [否; 用 --yes 回答是]"));
    return yes_;
  }
  void setConnectionState(const std::string&, int) override {}
  void setImagingRunning(bool running) override {
    if (!running) progress_.finish();
  }
  void setConnectEnabled(bool) override {}

 private:
  TerminalProgress progress_;
  bool yes_;
};

struct CopyOptions {
  std::string subject;  // SN or PHONE_FILE
  std::string pcFolder;
  std::string phoneTarget;
  bool yes = false;
};

std::optional<CopyOptions> ParseCopyOptions(const std::vector<std::string>& args,
                                            bool allowPhoneTarget) {
  CopyOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--to" && i + 1 < args.size()) {
      options.pcFolder = args[++i];
    } else if (args[i] == "--phone-target" && allowPhoneTarget && i + 1 < args.size()) {
      options.phoneTarget = args[++i];
    } else if (args[i] == "--yes") {
      options.yes = true;
    } else if (options.subject.empty() && !args[i].starts_with("--")) {
      options.subject = args[i];
    } else {
      return std::nullopt;
    }
  }
  if (options.subject.empty()) return std::nullopt;
  if (!options.pcFolder.empty() && options.pcFolder.back() != '/' &&
      options.pcFolder.back() != '\\') {
    options.pcFolder += '/';
  }
  return options;
}

int ExitStatusOf(ImagingOutcome outcome) {
  switch (outcome) {
    case ImagingOutcome::kComplete:
      return 0;
    case ImagingOutcome::kStopped:
      return kExitCopyStopped;
    case ImagingOutcome::kDeclined:
      return kExitCopyRefused;
    case ImagingOutcome::kFailed:
      break;
  }
  return kExitCopyFailed;
}

// Checks and runs `plan` as "开始镜像" does.
int RunPlan(ImagingPlan plan, bool yes) {
  const StartCheck check = CheckImagingStart(plan, FreeBytesAvailable);
  TerminalImagingView view(plan.sizeBytes, yes);
  if (check.spaceLine) view.addLogLine(*check.spaceLine);
  if (!check.refusal.empty()) {
    view.showMessage(check.refusal);
    return kExitCopyRefused;
  }
  Timage imaging(std::move(plan), view, WirelessLinkFlag().load());
  return ExitStatusOf(imaging.run());
}

}  // namespace

int RunLsCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    Say("usage: orv-phone ls PHONE_DIR");
    return kExitUsage;
  }
  EnableUtf8Console(stderr);
  TerminalFileView view;
  if (!TFileBro(args[0], false, view).run()) return kExitCopyFailed;
  for (const FileRow& row : view.rows) {
    const std::string line = row.name + "\t" + row.size + "\t" + row.created + "\t" + row.link +
                             "\t" + row.folder + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return 0;
}

int RunImageCommand(const std::vector<std::string>& args) {
  const std::optional<CopyOptions> options = ParseCopyOptions(args, true);
  const std::optional<std::int64_t> serial =
      options ? ParseWholeNumber(options->subject) : std::optional<std::int64_t>();
  if (!serial) {
    Say("usage: orv-phone image SN --to PC_FOLDER [--phone-target PATH] [--yes]");
    return kExitUsage;
  }
  EnableUtf8Console(stderr);
  TerminalConnectView surveyView(stderr, FileEncoding::kUtf8WithBom);
  Tconnect survey({}, surveyView);
  if (survey.run() != SurveyOutcome::kCompleted) return kExitCopyFailed;
  const std::vector<StorageTreeNode>& nodes = survey.treeNodes();
  std::size_t selected = nodes.size();
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const int entry = nodes[i].entry;
    if (entry != kNoEntry &&
        survey.storageModel()[static_cast<std::size_t>(entry)].serial == *serial) {
      selected = i;
    }
  }
  const PlanDecision decision = DecideStoragePlan(nodes, selected, survey.storageModel());
  if (!decision.plan) {
    Say("提示: " + decision.message);
    return kExitCopyRefused;
  }
  Say("警告: " + decision.message + (options->yes ? " [--yes: 是]" : " [否; 用 --yes 回答是]"));
  if (!options->yes) return kExitCopyRefused;
  ImagingPlan plan = *decision.plan;
  if (!options->phoneTarget.empty()) plan.phoneTarget = options->phoneTarget;
  if (NeedsPcFolder(plan.way)) plan.pcFolder = options->pcFolder;
  return RunPlan(std::move(plan), options->yes);
}

int RunPullCommand(const std::vector<std::string>& args) {
  const std::optional<CopyOptions> options = ParseCopyOptions(args, false);
  if (!options) {
    Say("usage: orv-phone pull PHONE_FILE --to PC_FOLDER [--yes]");
    return kExitUsage;
  }
  EnableUtf8Console(stderr);
  // The expected length for the free-space check; the worker lists the file
  // again and follows the length it finds then.
  std::string sizeText = "0";
  if (const AdbCommandBuild listing = AdbImagingListing(options->subject)) {
    const CommandResult listed = RunAdb(*listing.command);
    for (const std::string_view line : SplitLines(listed.out)) {
      const std::optional<LsEntry> entry = ParseLsLine(line);
      if (entry && entry->size) {
        sizeText = std::to_string(*entry->size);
        break;
      }
    }
  }
  const auto slash = options->subject.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : options->subject.substr(0, slash);
  const std::string name =
      slash == std::string::npos ? options->subject : options->subject.substr(slash + 1);
  PlanDecision decision = DecideFilePlan(folder, name, sizeText);
  decision.plan->pcFolder = options->pcFolder;
  return RunPlan(std::move(*decision.plan), options->yes);
}

}  // namespace orv
