#pragma once
// An ImagingView that records what the worker reported, for tests. Safe to
// read from the test's thread while the worker runs on another.

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "imaging/imaging_view.h"

namespace orv::testing {

class RecordingImagingView : public ImagingView {
 public:
  void addLogLine(const LogLine& line) override {
    std::lock_guard lock(mutex_);
    log_.push_back(line.type + "|" + line.description);
  }
  void setGaugeRange(std::int64_t maximum) override { gaugeMaximum = maximum; }
  void setGaugePosition(std::int64_t position) override {
    gaugePosition = position;
    gaugeMoves.fetch_add(1);
  }
  void setStatus(int panel, const std::string& text) override {
    std::lock_guard lock(mutex_);
    status_[panel == 0 ? 0 : 1] = text;
  }
  void showMessage(const std::string& text) override {
    std::lock_guard lock(mutex_);
    messages_.push_back(text);
  }
  bool askWarning(const std::string& text) override {
    std::lock_guard lock(mutex_);
    warnings_.push_back(text);
    return answerYes;
  }
  void setConnectionState(const std::string& caption, int) override {
    std::lock_guard lock(mutex_);
    connection_ = caption;
  }
  void setImagingRunning(bool running) override { imagingRunning = running; }
  void setConnectEnabled(bool enabled) override { connectEnabled = enabled; }

  std::vector<std::string> log() const {
    std::lock_guard lock(mutex_);
    return log_;
  }
  bool logged(const std::string& typeAndText) const {
    const std::vector<std::string> lines = log();
    return std::find(lines.begin(), lines.end(), typeAndText) != lines.end();
  }
  // Whether any log line starts with `prefix`.
  bool loggedStart(const std::string& prefix) const {
    for (const std::string& line : log()) {
      if (line.starts_with(prefix)) return true;
    }
    return false;
  }
  std::vector<std::string> messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
  }
  std::vector<std::string> warnings() const {
    std::lock_guard lock(mutex_);
    return warnings_;
  }
  std::string status(int panel) const {
    std::lock_guard lock(mutex_);
    return status_[panel == 0 ? 0 : 1];
  }
  std::string connection() const {
    std::lock_guard lock(mutex_);
    return connection_;
  }

  bool answerYes = true;
  std::atomic<std::int64_t> gaugeMaximum{-1};
  std::atomic<std::int64_t> gaugePosition{-1};
  std::atomic<int> gaugeMoves{0};
  std::atomic<bool> imagingRunning{false};
  std::atomic<bool> connectEnabled{false};

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> log_;
  std::vector<std::string> messages_;
  std::vector<std::string> warnings_;
  std::string status_[2];
  std::string connection_;
};

}  // namespace orv::testing
