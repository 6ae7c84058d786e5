#pragma once
// What the scan reports to whoever shows it: the main window, the
// command-line scanner or a test. Called on the scan's worker thread; an
// implementation that owns widgets runs each call on its UI thread and returns
// when it has run. Result rows do not pass through here: the scan appends them
// to the ResultTables store, which a window shows in batches.

#include <cstdint>
#include <string>

#include "platform/progress_view.h"

namespace orv {

// Status panel 0 names the stage, panel 1 counts the pages found.
class ScanView : public ProgressView {
 public:
  // A message box (caption "提示"); returns when the user has closed it.
  virtual void showMessage(const std::string& text) = 0;
  // "开始扫描", "下一步" and "上一步".
  virtual void setScanButtonsEnabled(bool enabled) = 0;
};

}  // namespace orv
