#pragma once
// What every long-running worker reports while it runs: log lines, the
// progress gauge and the status bar. Called on the worker's thread; an
// implementation that owns widgets runs each call on its UI thread and returns
// when it has run.

#include <cstdint>
#include <string>

#include "platform/log_line.h"

namespace orv {

class ProgressView {
 public:
  virtual ~ProgressView() = default;
  virtual void addLogLine(const LogLine& line) = 0;
  virtual void setGaugeRange(std::int64_t maximum) = 0;  // minimum is 0
  virtual void setGaugePosition(std::int64_t position) = 0;
  // Panel 0 names the stage, panel 1 counts what is done.
  virtual void setStatus(int panel, const std::string& text) = 0;
};

}  // namespace orv
