#pragma once
// `orv-phone survey`: the connection, root check and survey of the desktop
// program, without a display. The activity log goes to standard error as it
// happens; the phone information, the storage table and the storage tree go
// to standard output when the survey is done.

#include <cstdio>
#include <string>
#include <vector>

#include "device/connect_view.h"
#include "device/tconnect.h"
#include "platform/text_codec.h"

namespace orv {

// Exit statuses of the survey.
inline constexpr int kExitSurveyCompleted = 0;
inline constexpr int kExitNotConnected = 2;
inline constexpr int kExitRootRefused = 3;
inline constexpr int kExitStepFailed = 4;

int ExitStatusOf(SurveyOutcome outcome);

// The survey's view for a terminal: log lines and message boxes are written
// at once to `log`; information items are kept for the report.
class TerminalConnectView : public ConnectView {
 public:
  TerminalConnectView(std::FILE* log, FileEncoding encoding) : log_(log), encoding_(encoding) {}

  void addLogLine(const LogLine& line) override;
  void setGaugeRange(std::int64_t) override {}
  void setGaugePosition(std::int64_t) override {}
  void setStatus(int, const std::string&) override {}
  void setConnectionState(std::string_view, int) override {}
  void addInfoItem(std::string_view caption, int image) override;
  void resetFileTree() override {}
  void showCommandOutput(std::string_view) override {}
  void setStorageModel(const StorageModel&) override {}
  void showStorageTree(const std::vector<StorageTreeNode>&) override {}
  void setConnectButtonEnabled(bool) override {}
  void setSwitchButtonEnabled(bool) override {}
  void showMessage(std::string_view text) override;

  struct InfoItem {
    std::string caption;  // without the leading line end
    int image;
  };
  const std::vector<InfoItem>& infoItems() const { return info_; }

 private:
  void write(const std::string& utf8);

  std::FILE* log_;
  FileEncoding encoding_;
  std::vector<InfoItem> info_;
};

// The report on standard output (UTF-8): "label<TAB>value" per information
// item, the storage table (the 14 captions, then one line per entry, cells
// separated by tabs), then the tree, one node a line, indented two blanks per
// level, the caption, a tab and the entry's serial.
std::string SurveyReport(const std::vector<TerminalConnectView::InfoItem>& info,
                         const StorageModel& model, const std::vector<StorageTreeNode>& tree);

// Runs `orv-phone survey` with the arguments after "survey"; returns the exit
// status.
int RunSurveyCommand(const std::vector<std::string>& args);

}  // namespace orv
