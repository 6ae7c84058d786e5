#pragma once
// The main window's side of the workers' view interfaces: the scan, the
// preview and the save report through here. Every call comes from a worker
// thread and is carried out on the UI thread; log lines, list rows, buttons
// and message boxes wait until done, gauge positions and status texts are
// posted without waiting (a scan moves the gauge once per 64 KiB block), at
// most one of each kind on its way at a time.

#include <QElapsedTimer>
#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "results/result_views.h"
#include "scan/scan_view.h"

namespace orv {

class TForm1;

class MainWindowViews : public ScanView, public PreviewView, public SaveView {
 public:
  explicit MainWindowViews(TForm1& form) : form_(form) {}

  void addLogLine(const LogLine& line) override;
  void setGaugeRange(std::int64_t maximum) override;
  void setGaugePosition(std::int64_t position) override;
  void setStatus(int panel, const std::string& text) override;
  void showMessage(const std::string& text) override;
  void showMessage(const UserMessage& message) override;
  void setScanButtonsEnabled(bool enabled) override;
  void setColumns(const std::vector<PreviewColumn>& columns) override;
  void addRows(PreviewList list, std::vector<ListRow> rows) override;

 private:
  // Shows the position on the gauge and, in the status bar, the percentage
  // and the time left of the stage.
  void showPosition(std::int64_t position);

  TForm1& form_;
  QElapsedTimer stageTimer_;  // since the gauge's range was last set; UI thread
  // The latest gauge position and whether an update is on its way to the
  // UI thread: a worker faster than the window posts at most one at a time.
  std::atomic<std::int64_t> pendingPosition_{0};
  std::atomic<bool> positionPosted_{false};
  // Likewise the latest text of each status panel (the carving counts its
  // finds there one by one).
  std::mutex statusMutex_;
  std::array<std::optional<QString>, 2> pendingStatus_;
  bool statusPosted_ = false;
};

}  // namespace orv
