#pragma once
// A ScanView that records everything the scan reports, for tests.

#include <mutex>
#include <string>
#include <vector>

#include "scan/scan_view.h"

namespace orv {

class RecordingScanView : public ScanView {
 public:
  void addLogLine(const LogLine& line) override {
    std::lock_guard lock(mutex_);
    log.push_back(line.type + "|" + line.description);
  }
  void setGaugeRange(std::int64_t maximum) override {
    std::lock_guard lock(mutex_);
    gaugeRanges.push_back(maximum);
  }
  void setGaugePosition(std::int64_t) override {}
  void setStatus(int panel, const std::string& text) override {
    std::lock_guard lock(mutex_);
    status[panel] = text;
  }
  void showMessage(const std::string& text) override {
    std::lock_guard lock(mutex_);
    messages.push_back(text);
  }
  void setScanButtonsEnabled(bool enabled) override {
    std::lock_guard lock(mutex_);
    buttonsEnabled = enabled;
  }

  bool logged(const std::string& typeAndText) const {
    std::lock_guard lock(mutex_);
    for (const auto& line : log)
      if (line == typeAndText) return true;
    return false;
  }

  std::vector<std::string> log;  // "type|description"
  std::vector<std::int64_t> gaugeRanges;
  std::vector<std::string> messages;
  std::string status[2];
  bool buttonsEnabled = false;

 private:
  mutable std::mutex mutex_;
};

}  // namespace orv
