#pragma once
// What the imaging worker reports to whoever shows it: the main window, the
// command-line tool or a test. Called on the worker's thread; an
// implementation that owns widgets runs each call on its UI thread and
// returns when it has run (a message box returns when it was closed).

#include <string>

#include "platform/progress_view.h"

namespace orv {

class ImagingView : public ProgressView {
 public:
  // A message box, caption "提示", information icon.
  virtual void showMessage(const std::string& text) = 0;
  // A Yes/No box, caption "警告", warning icon; true for Yes.
  virtual bool askWarning(const std::string& text) = 0;
  // The connection-state item: caption and picture.
  virtual void setConnectionState(const std::string& caption, int image) = 0;
  // "开始镜像" is disabled while a run is under way.
  virtual void setImagingRunning(bool running) = 0;
  // "连接好USB线后请点击", enabled again when the connection check fails.
  virtual void setConnectEnabled(bool enabled) = 0;
};

}  // namespace orv
