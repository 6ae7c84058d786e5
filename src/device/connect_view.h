#pragma once
// What the connection and survey worker changes in whoever shows it: the main
// window, the command-line survey or a test. Called on the worker's thread;
// an implementation that owns widgets runs each call on its UI thread and
// returns when it has run (a message box holds the worker until closed).

#include <string>
#include <string_view>
#include <vector>

#include "device/storage_entry.h"
#include "device/storage_tree.h"
#include "platform/progress_view.h"

namespace orv {

// Pictures of the connection state (lv2) and of the phone information (lv3).
inline constexpr int kStateImageFailed = 1;
inline constexpr int kStateImageConnected = 2;

class ConnectView : public ProgressView {
 public:
  // The one item of lv2.
  virtual void setConnectionState(std::string_view caption, int image) = 0;
  // Appends an lv3 item; `caption` begins with CR LF, then label and value.
  virtual void addInfoItem(std::string_view caption, int image) = 0;
  // Empties the file browser's folder tree and gives it its one node "/data".
  virtual void resetFileTree() = 0;
  // The last command output, for the examiner to read (mmo1 of TForm2).
  virtual void showCommandOutput(std::string_view output) = 0;
  // The storage model, one row per entry (lv1 of TForm2), once it is built.
  virtual void setStorageModel(const StorageModel& model) = 0;
  // The storage tree; called only with a non-empty node list.
  virtual void showStorageTree(const std::vector<StorageTreeNode>& nodes) = 0;
  virtual void setConnectButtonEnabled(bool enabled) = 0;  // btn1
  virtual void setSwitchButtonEnabled(bool enabled) = 0;   // btn8
  // A message box "提示" with the information icon; returns when closed.
  virtual void showMessage(std::string_view text) = 0;
};

}  // namespace orv
