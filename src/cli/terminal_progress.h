#pragma once
// The command-line scanner's view of a scan: progress on standard error
// (percentage, MB/s, time left; redrawn in place on a terminal, plain lines
// otherwise), messages on standard error, and the activity log kept for
// activity.log.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <vector>

#include "scan/scan_view.h"

namespace orv {

class TerminalProgress : public ScanView {
 public:
  // `sourceBytes` turns positions of the byte-by-byte passes into MB/s.
  TerminalProgress(std::FILE* out, bool isTerminal, std::uint64_t sourceBytes);

  void addLogLine(const LogLine& line) override;
  void setGaugeRange(std::int64_t maximum) override;
  void setGaugePosition(std::int64_t position) override;
  void setStatus(int panel, const std::string& text) override;
  void showMessage(const std::string& text) override;
  void setScanButtonsEnabled(bool) override {}

  // Ends a redrawn progress line.
  void finish();
  std::vector<LogLine> logLines() const;

 private:
  using Clock = std::chrono::steady_clock;
  void draw();
  void endLine();

  std::FILE* out_;
  bool isTerminal_;
  std::uint64_t sourceBytes_;
  mutable std::mutex mutex_;
  std::vector<LogLine> log_;
  std::int64_t maximum_ = 0;
  std::int64_t position_ = 0;
  bool sectorScale_ = false;  // the gauge counts sectors of the source
  Clock::time_point stageStart_ = Clock::now();
  Clock::time_point lastDraw_{};
  bool lineOpen_ = false;
};

}  // namespace orv
